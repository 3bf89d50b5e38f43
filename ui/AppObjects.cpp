#include "ui/AppObjects.h"

// Defined together so that they are built in this order before WinMain runs and torn down
// in the reverse order after it returns.
EntryList entryList;
FileDialogSettings fileDialogSettings;
DibSkin dibSkin;
RenameJob renameJob;

HINSTANCE appInstance = nullptr;
