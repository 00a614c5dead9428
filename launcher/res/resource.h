#pragma once

#define IDI_VANDREL 1
#define IDR_MANIFEST 1
#define IDC_HAND_POINTER 101
#define IDR_START_SKIN 201
#define IDR_DRIVER_SKIN 202
