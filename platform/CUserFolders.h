#ifndef PONDQUEST_CUSERFOLDERS_H
#define PONDQUEST_CUSERFOLDERS_H

#include <string>

// The user's own folders, as the XDG base directories name them. Linux only: the Windows build
// keeps its settings under %APPDATA% and remembers no fonts.
class CUserFolders {
public:
    // $variable when it holds an absolute path (XDG asks for relative values to be ignored),
    // else the home folder followed by underHome ("/.config"); empty when there is no home.
    static std::string Base(const char* variable, const char* underHome);
    // mkdir -p with the usual permissions; true when the folder exists afterwards.
    static bool Make(const std::string& folder);
};

#endif
