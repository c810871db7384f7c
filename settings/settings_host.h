// What a settings dialog may ask of the running program, and nothing more: the settings
// and where they are stored, the colour chooser's custom colours, and the few things the
// program does on a dialog's behalf. The main window answers for the program; tests
// answer with their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "util/system_info.h"

namespace hv {

class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // The one settings record of the run; dialogs change it in place on OK.
    virtual Settings& settings() = 0;
    // Where a dialog saves its group; null where nothing is to be saved.
    virtual SettingsStore* store() = 0;
    // The program's folder (help pages) and what the system offers (translucency).
    virtual const SystemInfo& system() const = 0;
    // The colour chooser's 16 custom colours, kept for the run and never stored.
    virtual std::array<std::uint32_t, 16>& customColors() = 0;

    // Draws the face again from the settings as they are now (the picture it holds is
    // changed only by the two calls below).
    virtual void RedrawFace() = 0;
    // The face's picture, for the appearance dialogs: load `path` (false, and the previous
    // picture kept, when it is missing or no picture), or remove it. A host without a face
    // has nothing to change.
    virtual bool LoadFacePicture(const std::wstring&) { return false; }
    virtual void ClearFacePicture() {}
    // The face window's layered style on (opacity from TranslucentRate) or off, and the
    // opacity alone from TranslucentRate with the style as it is.
    virtual void ApplyFaceTranslucency(bool) {}
    virtual void SetFaceOpacity() {}
    // The face window's look beside the settings (its picture, layered style and opacity),
    // kept as a dialog that previews on the face opens; EndKeptFaceLook puts it back
    // (`putBack`: the dialog was cancelled) or lets it go, then redraws the face.
    virtual void KeepFaceLook() {}
    virtual void EndKeptFaceLook(bool) {}
    // Speaks `time` ("HH:MM") as the minute tick does; false when it could not be played.
    virtual bool SpeakTime(const std::string& time, bool clock24, int speed) = 0;
    // Puts `hotkey` (a TalkHotkey value; 0 none) in force as the key that speaks the time;
    // false, with the one before kept, when Windows refuses it (another program holds it).
    virtual bool SetTalkHotkey(std::uint16_t) { return true; }
};

}  // namespace hv
