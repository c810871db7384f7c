// The two small dialogs behind 設定(&S)... of the appearance dialog: frmPlain, "無地の設定"
// (the two background colours and the gradation) and frmImage, "画像ファイルの設定" (the
// picture file). Both change the settings and the face at once and close with 閉じる(&C)
// (Enter and Esc close them too); the appearance dialog's OK stores, its Cancel puts back
// what they changed.
#pragma once

#include <windows.h>

#include "settings/settings_host.h"
#include "util/form_win.h"

namespace hv {

class PlainBackgroundDialog : public Form {
public:
    static constexpr int kIdColorLabel = 300;  // "色1:", "色2:"
    static constexpr int kIdColor = 302;       // cmdColor(0..1)
    static constexpr int kIdGradationFrame = 305;
    static constexpr int kIdGradation = 306;   // optGradation(0..2)

    explicit PlainBackgroundDialog(SettingsHost& host);

protected:
    void OnLoad() override;
    void OnClick(int id) override;

private:
    SettingsHost& host_;
};

class PictureBackgroundDialog : public Form {
public:
    static constexpr int kIdPathLabel = 320;
    static constexpr int kIdPath = 321;    // txtFile
    static constexpr int kIdBrowse = 322;  // cmdBrowse
    static constexpr int kIdNote = 323;    // why the typed path did not become the picture
    // Typing pauses this long before the picture is loaded (also when the box loses the
    // focus or the dialog closes), so a network path typed key by key costs one look-up.
    static constexpr UINT kLoadDelayMs = 400;

    explicit PictureBackgroundDialog(SettingsHost& host);

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    void OnValueChanged(int id) override;
    bool OnValidate(int id) override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void LoadPending();
    // Tries `path` as the face's picture; only a picture that loaded becomes ImageFile, and
    // the note under the box says why another did not.
    void LoadNow(const std::wstring& path);

    SettingsHost& host_;
    bool pending_ = false;
};

}  // namespace hv
