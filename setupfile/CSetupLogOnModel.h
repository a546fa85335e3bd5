#pragma once
// The second settings page (products 5 and 7): seventeen settings as buttons and lists, each
// range-checked on load; byte 160 (mirrored to 169) decides whether a save needs a card format.

#include "setupfile/ISetupPageModel.h"

namespace tachy::setupfile {

class CSetupLogOnModel : public ISetupPageModel {
public:
    static constexpr int kFormatSettingOffset = 160;
    static constexpr int kFormatSettingMirror = 169;
    static constexpr int kTimeZoneOffset = 929;
    // The model whose file shows the page's extra section, item and control.
    static constexpr const char* kExtraControlsModel = "RK150ZT";

    SetupPageKind Kind() const override { return SetupPageKind::LogOn; }
    std::span<const SetupByteSetting> Settings() const override;

    // Only the table's "default" column, then 169 = 1, 170 = 0, 294 = 0 and the checksum.
    void ButtonDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;
    // Clears the file, writes the maker name only, the factory column and the fixed bytes.
    void FactoryDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;
    void NewFileDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;

    std::string ModelNameText(const SetupBuffer& working, int codePage) const override;
    int Compare(const SetupBuffer& loaded, const SetupBuffer& working) const override;
    void RestoreFormatSetting(const SetupBuffer& loaded, SetupBuffer& working,
                              int mode) const override;

    // Whether the file's model name is "RK150ZT" (the page then shows its extra controls).
    static bool ShowsExtraControls(const SetupBuffer& working, int codePage);

protected:
    bool ChecksModelName() const override { return false; }
};

} // namespace tachy::setupfile
