#pragma once

#define IDI_DRIVER 1
#define IDI_ABOUT 2
#define IDR_MANIFEST 1
