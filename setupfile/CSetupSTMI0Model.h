#pragma once
// The first settings page (product 0): fourteen rows of buttons in five groups, shown as stored;
// its "default" button writes the full factory defaults, the model name included.

#include "setupfile/ISetupPageModel.h"

namespace tachy::setupfile {

class CSetupSTMI0Model : public ISetupPageModel {
public:
    // The byte whose change would need a card format on this page.
    static constexpr int kFormatSettingOffset = 674;

    SetupPageKind Kind() const override { return SetupPageKind::STMI0; }
    std::span<const SetupByteSetting> Settings() const override;

    void ButtonDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;
    // Does nothing: the page has no factory defaults of its own.
    void FactoryDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;
    // The full factory defaults, so that a created or repaired file passes validation.
    void NewFileDefaults(SetupBuffer& working, const SetupIdentity& identity) const override;

    std::string ModelNameText(const SetupBuffer& working, int codePage) const override;
    int Compare(const SetupBuffer& loaded, const SetupBuffer& working) const override;
    void RestoreFormatSetting(const SetupBuffer& loaded, SetupBuffer& working,
                              int mode) const override;

protected:
    bool ChecksModelName() const override { return true; }
};

} // namespace tachy::setupfile
