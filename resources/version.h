/* The program's version and product texts, defined once: the version resource, the code and
   the installer all take them from here. Plain C preprocessor only (windres reads this file). */
#ifndef KESTORAL_VERSION_H
#define KESTORAL_VERSION_H

#define KESTORAL_VERSION_MAJOR 1
#define KESTORAL_VERSION_MINOR 5
#define KESTORAL_VERSION_RELEASE 1500
#define KESTORAL_VERSION_BUILD 0

#define KESTORAL_FILE_VERSION_TEXT "1.5.1500.0"
#define KESTORAL_PRODUCT_VERSION_TEXT "2004.07"
#define KESTORAL_PRODUCT_NAME "Marvane - Screensaver"
#define KESTORAL_FILE_DESCRIPTION "Flash(TM) Movies as Screensavers."
#define KESTORAL_COMPANY_NAME "Orvin Software"
#define KESTORAL_LEGAL_COPYRIGHT "Copyright (C) 2004-2026 Orvin Software"
#define KESTORAL_INTERNAL_NAME "KESTORAL"
#define KESTORAL_ORIGINAL_FILENAME "KESTORAL.SCR"
#define KESTORAL_COMMENTS "Plays a SWF movie full-screen as the screen saver."

#endif
