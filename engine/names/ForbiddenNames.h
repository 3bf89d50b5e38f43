#ifndef QUILLOWBY_ENGINE_NAMES_FORBIDDEN_NAMES_H
#define QUILLOWBY_ENGINE_NAMES_FORBIDDEN_NAMES_H

class FileServices;

// What Windows would do to a new name other than take it as it is.
enum NameFault
{
    NameFine,
    // A character no name may hold: \ / : * ? " < > | or a control character. ":" would name
    // a stream of another file, a separator another folder.
    NameForbiddenCharacter,
    // A final dot or space, which Windows drops: the file would get another name.
    NameEndsInDotOrSpace,
    // A device (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9), whatever follows its first dot.
    NameIsDevice
};

// The text the user put in front of or behind the number, which every new name holds.
NameFault PatternTextFault(const char* text, const FileServices& fs);
// A whole new name; its extension comes from a listed name and holds no forbidden character.
NameFault NewNameFault(const char* name);

#endif
