#pragma once

#define IDI_DRIVER 1
#define IDR_MANIFEST 1
