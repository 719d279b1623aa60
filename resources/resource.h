/* Resource and control IDs of STRAVO, shared by the resource scripts and the code. */
#ifndef STRAVO_RESOURCE_H
#define STRAVO_RESOURCE_H

/* Language offsets: every language-dependent dialog and string exists three times. */
#define LANG_OFFSET_ENGLISH 0
#define LANG_OFFSET_GERMAN 500
#define LANG_OFFSET_FRENCH 600

/* Dialogs, at their English IDs; add the language offset. */
#define IDD_MAIN 10
#define IDD_ABOUT 11
#define IDD_SYSINFO 12
#define IDD_GRAPH 13

/* Language-dependent strings (base IDs). */
#define IDS_APP_CAPTION 20
#define IDS_WRITING 21
#define IDS_READING 22
#define IDS_DELETING 23
#define IDS_FREE_OF 25
#define IDS_NO_MEMORY 26
#define IDS_CANNOT_OPEN 27
#define IDS_DISK_FULL 28
#define IDS_NOT_TESTED 33
#define IDS_STORE_PROMPT 34
#define IDS_WRONG_PLATFORM 35
#define IDS_LANGUAGE_NOTICE 37
#define IDS_ENGLISH 38
#define IDS_GERMAN 39
#define IDS_FRENCH 40
#define IDS_GRAPH_TITLE 41
#define IDS_READ_READOUT 42
#define IDS_WRITE_READOUT 43
#define IDS_GUIDE_MISSING 44 /* %s: the page looked for */
#define IDS_PROGRESS 45 /* how far a disk pass is, after its title */
#define IDS_GUIDE_NOT_OPENED 46 /* %s: the page */
#define IDS_SIZE_AUTOMATIC 47 /* the test file size field when the test's length follows the drive */

/* Language-independent strings. */
#define IDS_DRIVE_FIRST 120 /* "C:" .. "K:" at 120..128 */
#define IDS_FRAME_FIRST 250 /* frame sizes 250..261 */

/* Icons. */
#define IDI_PROGRAM 101

/* Main dialog controls. */
#define IDC_CLOSE 1
#define IDC_LOGO 100
#define IDC_PROGRAM_ICON 101
#define IDC_DRIVES 151
#define IDC_RATE 153
#define IDC_FRAME1 154
#define IDC_FRAME2 155
#define IDC_FRAME3 156
#define IDC_RATIO1 157
#define IDC_RATIO2 158
#define IDC_RATIO3 159
#define IDC_HELP_BUTTON 170
#define IDC_START 171
#define IDC_STORE 172
#define IDC_MORE 174
#define IDC_RESULT_BOX 182
#define IDC_PAL 183
#define IDC_NTSC 184
#define IDC_GRAPHIC 187
#define IDC_READ_BAR 200
#define IDC_WRITE_BAR 201
#define IDC_WRITE_TEXT 203
#define IDC_READ_TEXT 204
#define IDC_LYNX 400
#define IDC_PUMA 401
#define IDC_OCELOT 402
#define IDC_RATE_11K 409
#define IDC_RATE_22K 410
#define IDC_RATE_44K 411
#define IDC_MONO 412
#define IDC_STEREO 413
#define IDC_DMA8 414
#define IDC_DMA16 415
#define IDC_SAMPLE8 416
#define IDC_SAMPLE16 417
#define IDC_AUDIO 418
#define IDC_CROPPING 419
#define IDC_CARD_LABEL 420
#define IDC_SYNC_TEXT 421

/* System information dialog controls. */
#define IDC_LANGUAGE 185
#define IDC_FILESIZE 186
#define IDC_MEMORY_RATE 210

/* Graph dialog controls. */
#define IDC_Y_MAX 190
#define IDC_X_MAX 191
#define IDC_X_MID 192
#define IDC_Y_UNIT 193
#define IDC_X_UNIT 194
#define IDC_CURSOR_KB 195

#endif
