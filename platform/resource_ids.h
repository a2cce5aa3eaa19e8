// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_ORBIMOTION 1
#define IDC_HAND_LINK 2

#define IDB_TENNIS50 100
#define IDB_FOOTBALL50 101
#define IDB_GOLF50 102
#define IDB_TENNIS32 103
#define IDB_FOOTBALL32 104
#define IDB_GOLF32 105
#define IDB_EARTH 106
#define IDB_PREVIEW 110
#define IDB_FACE_NORMAL 120
#define IDB_FACE_HIGHLIGHT 121
#define IDB_FACE_SELECTED 122
#define IDB_FACE_HIGHLIGHTSELECT 123
#define IDB_FACE_PRESSED 124
#define IDB_FACE_DISABLE 125
#define IDB_TEXTURE 130
#define IDB_MARK_OFF 131
#define IDB_MARK_ON 132
