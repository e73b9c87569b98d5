/* Identifiers of the configuration dialog's pictures (the program icon is IDI_MAIN_ICON). */
#ifndef KESTORAL_PICTURE_IDS_H
#define KESTORAL_PICTURE_IDS_H

#define IDB_BANNER 101 /* 468 x 60, 16 colours: the banner of the configuration dialog */

#endif
