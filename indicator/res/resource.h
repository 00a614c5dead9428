#pragma once

// The program file's icon has the lowest id, so it is the first icon group and Explorer shows it.
#define IDI_LUMORA 1
#define IDI_TRAY 2
#define IDR_MANIFEST 1
