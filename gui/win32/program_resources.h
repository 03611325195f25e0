#pragma once

// Resources of tessel.exe, in tessel.rc.
#define TESSEL_PROGRAM_ICON 128
