#ifndef QUILLOWBY_UI_APP_OBJECTS_H
#define QUILLOWBY_UI_APP_OBJECTS_H

#include <windows.h>

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "ui/DibSkin.h"
#include "ui/FileDialogSettings.h"

// The objects that live for the whole process, all defined in AppObjects.cpp.
extern HINSTANCE appInstance;
extern EntryList entryList;
extern FileDialogSettings fileDialogSettings;
extern DibSkin dibSkin;
extern RenameJob renameJob;

#endif
