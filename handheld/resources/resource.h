// Resource identifiers of the handheld program, shared by the .rc file and
// the code. The numbers are part of the program's interface: commands arrive
// as these values and other code reaches menus and strings by them.
#pragma once

// Strings
#define IDS_APP_TITLE 1
#define IDS_WINDOW_CLASS 3
#define IDS_TOOLS 104
#define IDS_CONFIRM_DELETE 106
#define IDS_SAVE_FAILED 107
#define IDS_LOAD_FAILED 108
#define IDS_NO_MATCH 118
#define IDS_EDIT_ITEM 122
#define IDS_VIEW 124
#define IDS_ORIGINAL_KEPT 150   // %s: where a file that did not load whole was kept
#define IDS_ICON_NAME_FIRST 801 // "Folder 1" ... 816 "DVD"
#define IDS_ICON_NAME_LAST 816
#define IDS_NEW 40006

// Icons and bitmaps
#define IDI_APP 1
#define IDI_ICON_123 123
#define IDI_IMAGE_FIRST 797 // image list image i is icon 797 + i
#define IDI_IMAGE_LAST 816
#define IDB_MODIFY 109 // menu bar image: a page with a pencil
#define IDB_DELETE 126 // menu bar image: a red cross

// Menus, menu bar, accelerators
#define IDR_MAIN_MENU 102 // menu 102 and the menu-bar resource 102
#define IDR_ACCELERATORS 3

// Child windows of the main window
#define IDC_TREE 101
#define IDC_NOTE_PANE 102

// Commands
#define IDM_CREATE_COPY 103
#define IDM_DELETE_ITEM 104
#define IDM_TOOLS 40001
#define IDM_ABOUT 40003
#define IDM_NEW_ITEM 40004
#define IDM_FIND_ITEM 40010
#define IDM_SAVE_AS 40020
#define IDM_OPEN 40021
#define IDM_MODIFY_ITEM 40022
#define IDM_NEW_FILE 40023
#define IDM_FIND_AGAIN 40025
#define IDM_HIDE_CHECKED 40026
#define IDM_VIEW 40031
#define IDM_HIDE_NOTE_WINDOW 40033
#define IDM_ASCENDING 40034
#define IDM_DESCENDING 40035
#define IDM_PRIORITY_FIRST 40100 // + priority 0..9, shown as 1..10
#define IDM_PRIORITY_LAST 40109
#define IDM_VIEW_DEFAULT 40328 // + viewMode
#define IDM_VIEW_CATEGORY 40329
#define IDM_VIEW_DATE 40330
#define IDM_VIEW_PRIORITY 40331
#define IDM_ARRANGE_FIRST 40501 // + arrangeKey: name, priority, category, check, date
#define IDM_ARRANGE_LAST 40505

// Position of the "Arrange Items" submenu in the View popup.
#define VIEW_MENU_ARRANGE_POSITION 8
