#include "setupfile/ISetupPageModel.h"

#include "setupfile/CSetupLogOnModel.h"
#include "setupfile/CSetupSTMI0Model.h"
#include "setupfile/SetupChecksum.h"
#include "setupfile/SetupTextFields.h"

#include <algorithm>

namespace tachy::setupfile {

std::unique_ptr<ISetupPageModel> ISetupPageModel::Create(int productId) {
    switch (productId) {
    case 0:
        return std::make_unique<CSetupSTMI0Model>();
    case 5:
    case 7:
        return std::make_unique<CSetupLogOnModel>();
    default:
        return nullptr;
    }
}

const SetupByteSetting* ISetupPageModel::Find(int offset) const {
    for (const SetupByteSetting& setting : Settings()) {
        if (setting.offset == offset) {
            return &setting;
        }
    }
    return nullptr;
}

int ISetupPageModel::ShownValue(const SetupBuffer& working, const SetupByteSetting& setting) const {
    const std::uint8_t stored = working[static_cast<std::size_t>(setting.offset)];
    if (setting.loadDefault == kNoRangeCheck) {
        return stored;
    }
    // Bytes from 0x80 are negative as the recorder's signed bytes: out of range too.
    const bool negative = stored >= 0x80;
    return (negative || stored >= setting.choices) ? setting.loadDefault : stored;
}

int ISetupPageModel::ApplyLoadRanges(SetupBuffer& working) const {
    int changed = 0;
    for (const SetupByteSetting& setting : Settings()) {
        const int shown = ShownValue(working, setting);
        if (shown != working[static_cast<std::size_t>(setting.offset)]) {
            SetChoice(working, setting.offset, shown);
            ++changed;
        }
    }
    return changed;
}

bool ISetupPageModel::SetChoice(SetupBuffer& working, int offset, int value) const {
    const SetupByteSetting* setting = Find(offset);
    if (setting == nullptr || value < 0 || value >= setting->choices) {
        return false;
    }
    working[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    if (setting->mirrorOffset != kNoMirror) {
        working[static_cast<std::size_t>(setting->mirrorOffset)] = static_cast<std::uint8_t>(value);
    }
    return true;
}

void ISetupPageModel::UpdateChecksum(SetupBuffer& working) const {
    setupfile::UpdateChecksum(working);
}

SetupFileStatus ISetupPageModel::Validate(std::span<const std::uint8_t> bytes,
                                          const SetupIdentity& identity) const {
    if (bytes.size() != kSetupFileSize) {
        return SetupFileStatus::WrongSize;
    }
    if (!HasValidChecksum(bytes)) {
        return SetupFileStatus::WrongChecksum;
    }
    if (!TextFieldMatches(bytes, SetupTextField::MakerName, identity.makerName,
                          identity.codePage)) {
        return SetupFileStatus::WrongMaker;
    }
    if (ChecksModelName() && !TextFieldMatches(bytes, SetupTextField::ModelName, identity.modelName,
                                               identity.codePage)) {
        return SetupFileStatus::WrongModel;
    }
    return SetupFileStatus::Valid;
}

void ISetupPageModel::ClearChecksummedBytes(SetupBuffer& working) {
    std::fill(working.begin() + kChecksumFirst, working.end(), 0);
}

void ISetupPageModel::SetBytes(SetupBuffer& working, std::span<const SetupByteValue> values) {
    for (const SetupByteValue& value : values) {
        working[static_cast<std::size_t>(value.offset)] = value.value;
    }
}

void ISetupPageModel::SetTableColumn(SetupBuffer& working, int SetupByteSetting::*column) const {
    for (const SetupByteSetting& setting : Settings()) {
        working[static_cast<std::size_t>(setting.offset)] =
            static_cast<std::uint8_t>(setting.*column);
    }
}

} // namespace tachy::setupfile
