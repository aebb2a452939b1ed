// The program's version, fed into the version block of res/Updater.rc.
#pragma once

#define UPDATER_VERSION_NUMBERS   19,0,0,3
#define UPDATER_VERSION_TEXT      "19, 0, 0, 3"
