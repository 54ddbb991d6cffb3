/* Resource and command ids, shared by the program and the resource script. */
#pragma once

/* Icons */
#define IDI_APPLICATION_ICON 101
#define IDI_COVERED_UP       105
#define IDI_COVERED_DOWN     106
#define IDI_PRESSED_UP       107
#define IDI_PRESSED_DOWN     108
#define IDI_MINE             109
#define IDI_FLAG             110
#define IDI_UNCOVERED_UP     111
#define IDI_UNCOVERED_DOWN   112
#define IDI_NEW_GAME_BUTTON  113

/* Menu, dialogs, accelerators */
#define IDM_MAIN_MENU        102
#define IDD_ABOUT            104
#define IDA_ACCELERATORS     114
#define IDD_BEST_TIMES       115
#define IDD_ENTER_NAME       119
#define IDD_MAKE_BOARD       120
#define IDD_STATISTICS       121

/* Commands */
#define CMD_NEW_GAME         40001
#define CMD_EXIT             40002
#define CMD_ABOUT            40004
#define CMD_FIRST_LEVEL      40005 /* level items: CMD_FIRST_LEVEL + level index */
#define CMD_LAST_LEVEL       40012
#define CMD_BEST_TIMES       40013
#define CMD_NO_GUESSING      40014
#define CMD_STATISTICS       40016
#define CMD_SAME_BOARD       40017
#define CMD_NORMAL_SIZE      40018 /* size items: CMD_NORMAL_SIZE + size - 1 */
#define CMD_DOUBLE_SIZE      40019
#define CMD_TRIPLE_SIZE      40020
#define CMD_MAKE_BOARD       40015

/* Dialog controls */
#define IDC_RESET_SCORES     1003
#define IDC_FIRST_NAME       1004 /* names of places 1 to 5: 1004 to 1008 */
#define IDC_FIRST_TIME       1009 /* times of places 1 to 5: 1009 to 1013 */
#define IDC_LEVEL_TITLE      1014
#define IDC_PLAYER_NAME      1015
#define IDC_EMPTY_STATISTICS 1301
#define IDC_STATISTICS_TITLE 1302
#define IDC_STATISTICS_NOTE  1303
#define IDC_FIRST_ORDINARY_FIGURE 1310 /* the figures of the ordinary game: 1310 to 1318 */
#define IDC_FIRST_NO_GUESS_FIGURE 1320 /* the figures of No guessing: 1320 to 1328 */

/* Make a board */
#define IDC_MAKER_LEVEL          1201
#define IDC_MAKER_TITLE          1202
#define IDC_MAKER_ROWS           1203
#define IDC_MAKER_COLUMNS        1204
#define IDC_MAKER_MINES          1205
#define IDC_MAKER_SHAPE          1206
#define IDC_MAKER_FIGURES        1207
#define IDC_MAKER_BUILT_IN       1208
#define IDC_MAKER_OPEN_PICTURE   1209
#define IDC_MAKER_SAVE_PICTURE   1210
#define IDC_MAKER_FILL           1211
#define IDC_MAKER_CLEAR          1212
#define IDC_MAKER_REFUSAL        1213
#define IDC_MAKER_SHAPE_LABEL    1214
#define IDC_MAKER_ROWS_ARROWS    1215
#define IDC_MAKER_COLUMNS_ARROWS 1216
#define IDC_MAKER_MINES_ARROWS   1217
