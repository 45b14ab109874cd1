// Resource ids of keyrack.rc, shared by the resource script and the code.
#pragma once

// Dialog templates.
#define IDD_MAIN 102
#define IDD_EDITOR 134
#define IDD_INDICATOR 139
#define IDD_ABOUTBOX 142

// The application icon, also the tray icon's id.
#define IDI_APP 145

// Indicator popup.
#define IDC_IND_PROGRESS 1020
#define IDC_IND_SLOTNAME 1021
#define IDC_IND_LINES 1022

// About box.
#define IDC_ABOUT_CONTACT_LINK 1034
#define IDC_ABOUT_LICENSE_LINK 1035
#define IDC_ABOUT_NOTICE 1036
#define IDC_ABOUT_CONTACT_GROUP 1037
#define IDC_ABOUT_APP_GROUP 1038
#define IDC_ABOUT_LICENSE_GROUP 1039

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
