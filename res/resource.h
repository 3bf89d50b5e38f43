#ifndef QUILLOWBY_RES_RESOURCE_H
#define QUILLOWBY_RES_RESOURCE_H

// Resource and control ids; shared by the resource script and the window code.

// The ids stand in columns, as resource editors keep them.
// clang-format off
#define IDD_ABOUT           100
#define IDD_MAIN            101
#define IDR_MAINMENU        103
#define IDB_SAVE            104
#define IDB_SKIN            105
#define IDI_APP             128
#define IDB_DESKTOP         132
#define IDB_DOCUMENTS       134
#define IDD_PREVIEW         140
#define IDR_MAINKEYS        141

#define IDC_FOLDER          1001
#define IDC_WEB_ADDRESS     1001
#define IDC_START           1002
#define IDC_MASK            1003
#define IDC_DIGITS          1004
#define IDC_DESKTOP         1005
#define IDC_ORDER           1006
#define IDC_FIX_DIGITS      1007
#define IDC_PATTERN         1008
#define IDC_DOCUMENTS       1009
#define IDC_LOG_PATH        1010
#define IDC_LOG_BROWSE      1011
#define IDC_PREVIEW_SUMMARY 1101
#define IDC_PREVIEW_LIST    1102
#define IDC_PREVIEW_REFUSAL 1103
#define IDC_PREVIEW_COPY    1104

// The string table: the program's own texts, in the order the labels of IDC_ORDER are listed.
#define IDS_ORDER_FIRST         200
#define IDS_SAVE_TITLE          212
#define IDS_CONFIRM_RUN         220
#define IDS_DIGIT_WARNING       221
#define IDS_START_WARNING       222
// The question before a run empties a file that is no rename log: text, path, text.
#define IDS_LOG_NOT_A_LOG_BEFORE        230
#define IDS_LOG_NOT_A_LOG_AFTER         231
// The preview: its columns, the mark of a name that stays, the summary's parts, and the
// labels of LeftOutKind from IDS_LEFT_OUT_FIRST on.
#define IDS_PREVIEW_CURRENT_NAME        240
#define IDS_PREVIEW_NEW_NAME            241
#define IDS_PREVIEW_KEPT                242
#define IDS_PREVIEW_COUNTS              243
#define IDS_PREVIEW_NONE_LEFT_OUT       244
#define IDS_PREVIEW_LEFT_OUT            245
#define IDS_PREVIEW_FIRST_KIND          246
#define IDS_PREVIEW_NEXT_KIND           247
// The date column of the date orders, and the mark of a date modified standing in.
#define IDS_PREVIEW_DATE                248
#define IDS_PREVIEW_DATE_MODIFIED       249
#define IDS_LEFT_OUT_FIRST              250
// Stopping a run: the question, and the parts of the result.
#define IDS_STOP_QUESTION               260
#define IDS_STOPPED                     261
#define IDS_STOPPED_TEMPORARY           262
#define IDS_STOPPED_NO_LOG              263
#define IDS_UNDO_STOP_QUESTION          264
#define IDS_STOP_CAME_LATE              265
#define IDS_REFUSED_STOPPED             266
// Undo: the refusals, the question, what it ended in.
#define IDS_UNDO_NO_LOG                 270
#define IDS_UNDO_NOT_A_LOG              271
#define IDS_UNDO_NOTHING                272
#define IDS_UNDO_NAME_TOO_LONG          273
#define IDS_UNDO_NAME_NOT_PLAIN         274
#define IDS_UNDO_FOLDER_NOT_SEARCHABLE  275
#define IDS_UNDO_LOG_NOT_WRITABLE       276
#define IDS_UNDO_QUESTION               277
#define IDS_UNDONE_NO_LOG               278
#define IDS_UNDO_NOT_BACK               279
#define IDS_UNDO_UNACCOUNTED            280
#define IDS_UNDO_FOLDER_GONE            281
#define IDS_UNDO_STOPPED                282
#define IDS_UNDO_NOT_BACK_NO_LOG        283
#define IDS_UNDO_FINISH_QUESTION        284
#define IDS_UNDO_MARK_QUESTION          285
// The title while a stopped run or undo puts back the files waiting under temporary names.
#define IDS_SETTLING_TITLE              286
// The history of runs: the questions before a run, and those of an undo or redo of its
// records, which name the folder, the number of files and when the run was made.
#define IDS_HISTORY_NOT_WRITABLE        290
#define IDS_UNFINISHED_RUN_QUESTION     291
#define IDS_UNFINISHED_UNDO_QUESTION    292
#define IDS_UNFINISHED_REDO_QUESTION    293
#define IDS_UNDO_RECORD_QUESTION        294
#define IDS_UNDO_RECORD_FINISH_QUESTION 295
#define IDS_REDO_QUESTION               296
#define IDS_REDO_FINISH_QUESTION        297
#define IDS_REDO_MARK_QUESTION          298
#define IDS_REDO_NOTHING                299
// What a redo ended in, where the undo's words would not be true.
#define IDS_REDO_STOP_QUESTION          342
#define IDS_REDO_STOPPED                343
#define IDS_REDONE_NO_LOG               344
#define IDS_REDO_NOT_BACK               345
#define IDS_REDO_NOT_BACK_NO_LOG        346
// What a run ended in; a refusal's text takes the file's name, a partial run's the count.
#define IDS_COMPLETED                   300
#define IDS_COMPLETED_NO_LOG            301
#define IDS_ONE_NOT_RENAMED             302
#define IDS_ONE_NOT_RENAMED_NO_LOG      303
#define IDS_SOME_NOT_RENAMED            304
#define IDS_SOME_NOT_RENAMED_NO_LOG     305
#define IDS_COMPLETED_NO_LOG_ASKED      306
#define IDS_NOT_RENAMED_NO_LOG_ASKED    307
#define IDS_FAILED                      310
#define IDS_REFUSED_LISTING             311
#define IDS_REFUSED_NEW_NAME_TOO_LONG   313
#define IDS_REFUSED_NUMBER_TOO_LARGE    314
#define IDS_REFUSED_PATH_TOO_LONG       315
#define IDS_REFUSED_FORBIDDEN_CHARACTER 316
#define IDS_REFUSED_ENDS_IN_DOT_OR_SPACE 317
#define IDS_REFUSED_DEVICE_NAME         318
#define IDS_REFUSED_MASK_SEPARATOR      319
#define IDS_REFUSED_NEW_NAME_IS_LOG     320
// Why a run could not start, on the line after "Failed.".
#define IDS_REFUSED_FOLDER_EMPTY        321
#define IDS_REFUSED_FOLDER_PATH_TOO_LONG 322
#define IDS_REFUSED_FOLDER_MISSING      323
#define IDS_REFUSED_FOLDER_NOT_SEARCHABLE 324
#define IDS_REFUSED_MASK_SEMICOLON      325
#define IDS_REFUSED_NOTHING_MATCHES     326
#define IDS_REFUSED_TEMP_PATH_TOO_LONG  327
// The files a run could not rename: a line for each of the first few, how many more, the log.
#define IDS_NOT_RENAMED_FILE            328
#define IDS_NOT_RENAMED_MORE            329
#define IDS_NOT_RENAMED_SEE_LOG         330
// Why a run could not start over the history, and a record that did not take every line.
#define IDS_REFUSED_UNFINISHED_RUN      331
#define IDS_REFUSED_HISTORY_NOT_WRITABLE 332
#define IDS_RECORD_STOPPED_RUN          333
#define IDS_RECORD_INCOMPLETE           334
// A "<...>" of the pattern that is no date field.
#define IDS_REFUSED_UNKNOWN_FIELD       335
// Why a step did not happen, as the result box says it; the log keeps its own words.
#define IDS_FAILURE_MOVE                351
#define IDS_FAILURE_NEW_NAME_TAKEN      352
#define IDS_FAILURE_NO_TEMPORARY_NAME   353
#define IDS_FAILURE_ANOTHER_FILE_THERE  354
#define IDS_FAILURE_ORIGINAL_NAME_TAKEN 355
#define IDS_FAILURE_MOVE_BACK           356
#define IDS_FAILURE_BOTH_NAMES_TAKEN    357
#define IDS_FAILURE_NAME_NOT_REPRESENTABLE 358
#define IDS_FAILURE_NAME_TOO_LONG       359
#define IDS_FAILURE_PATH_TOO_LONG       360
#define IDS_FAILURE_NOT_WHERE_LOG_SAYS  361
#define IDS_FAILURE_LATER_STEP_KEPT     362
#define IDS_FAILURE_UNACCOUNTED         363
#define IDS_FAILURE_NOT_MADE            364
// A log that cannot be created, asked about before the run; a copy the clipboard refused.
#define IDS_LOG_CANNOT_BE_CREATED       340
#define IDS_COPY_FAILED                 341
// The preview's row of a file left out: why, as its kind's label says.
#define IDS_PREVIEW_LEFT_OUT_ROW        370

#define IDM_ABOUT           40001
#define IDM_EXIT            40002
#define IDM_UNDO            40003
#define IDM_REDO            40004
#define IDM_PREVIEW         40010
#define IDM_SAME_NUMBER     40011

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif

// clang-format on

#endif
