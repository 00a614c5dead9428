// One version for every program of the disc.
#pragma once

#define KBD_VERSION_MAJOR 1
#define KBD_VERSION_MINOR 1
#define KBD_VERSION_PATCH 0
#define KBD_VERSION_TEXT "1.1.0"
#define KBD_COMPANY "Tarnova"
#define KBD_COPYRIGHT "Copyright (C) 2026 Tarnova"
