/* Identifiers of the program's resources, shared by the resource script and the code. */
#ifndef KESTORAL_RESOURCE_IDS_H
#define KESTORAL_RESOURCE_IDS_H

#define IDS_DISPLAY_NAME 1 /* the screen saver's name as the control panel lists it */

#define IDS_SETTINGS_KEY 65331    /* per-user settings key under HKEY_CURRENT_USER */
#define IDS_MACHINE_KEY 65332     /* machine-wide key under HKEY_LOCAL_MACHINE */
#define IDS_INSTALL_DIR_VALUE 65333
#define IDS_HOME_PAGE 65334
#define IDS_HOME_PAGE_ICON 65335
#define IDS_UPDATE_PAGE 65336
#define IDS_HELP_FILE 65337
#define IDS_DEFAULT_MOVIE_FOLDER 65338
#define IDS_DEFAULT_MOVIE 65339
#define IDS_OPEN_DIALOG_TITLE 65340
#define IDS_OPEN_DIALOG_FILTER 65341

#define IDI_MAIN_ICON 1

#endif
