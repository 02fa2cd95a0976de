#ifndef PONDQUEST_CSETTINGSFILE_H
#define PONDQUEST_CSETTINGSFILE_H

#include <string>

// The player's settings, kept between runs in a small INI file:
//
//   [pondquest]
//   mouse_sensitivity = 2.00
//   music_volume = 1.00
//   effects_volume = 1.00
//   mute = no
//
// Reading never fails: a missing, empty, unreadable or damaged file leaves the defaults (a
// damaged line only its own setting) and Load tells why in one line. Saving writes a
// temporary file beside the real one and renames it over, so a crash, a full disk or a kill
// part-way leaves the old file whole.
class CSettingsFile {
public:
    struct Values {
        float mouseSensitivity = 2.0f;
        float musicVolume = 1.0f;
        float effectsVolume = 1.0f;
        bool muted = false;
    };
    // Sensitivities the game accepts from the file; keypad minus stops at the lower one.
    static constexpr float kMinSensitivity = 0.05f;
    static constexpr float kMaxSensitivity = 1e6f;
    // Anything longer is not a settings file this game wrote.
    static constexpr long kMaxFileBytes = 64 * 1024;

    std::string path;  // empty when there is nowhere to keep settings
    Values values;
    bool saveFailureTold;  // a failing save is reported once, not at every change

    explicit CSettingsFile(const std::string& path);

    // Where settings live for this user: $XDG_CONFIG_HOME/pondquest/settings.ini, else
    // ~/.config/pondquest/settings.ini (on Windows %APPDATA%\Pondquest\settings.ini); empty
    // when none can be named. The one place that knows the platform's convention.
    static std::string DefaultPath();

    // Reads the file into values (defaults first). False, with the one line to show in
    // *problem, when any setting kept its default because of the file.
    bool Load(std::string* problem);
    // Writes values atomically, making the folder when needed. False with *problem on failure.
    bool Save(std::string* problem) const;
    // Save, printing the first failure on stderr (later ones are not repeated).
    void SaveAndTell();
    // Loads, printing the problem (if any) on stderr as one line.
    void LoadAndTell();

    // The file's text for values, and values from a file's text (false, with the first
    // problem and how many lines were bad in *problem, when some line was ignored).
    static std::string Format(const Values& values);
    static bool Parse(const std::string& text, Values* values, std::string* problem);
    // Without surrounding spaces and line ends; also tells an empty file from a blank one.
    static std::string Trim(const std::string& text);
};

#endif
