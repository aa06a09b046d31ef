#pragma once

// The program's error numbers, one vocabulary for the platform layer, name
// generation and collisions. The numbers are what the user sees after
// "Error # ".

enum class Error : int {
    None = 0,
    InvalidCall = 5,         // a substring before the first character; any other failure
    Overflow = 6,            // a number past its limit (the collision counter)
    TypeMismatch = 13,       // a text that is not a number
    FileNotFound = 53,       // the file is missing while its directory exists
    FileExists = 58,         // the target name is taken
    DiskFull = 61,           // no space left, or over quota
    RenameAcrossDisks = 74,  // the target lies on another device
    PathFileAccess = 75,     // access refused, or a name that would leave its directory
    PathNotFound = 76,       // the directory itself is missing
};

// The number shown for `error`.
constexpr int errorNumber(Error error) {
    return static_cast<int>(error);
}
