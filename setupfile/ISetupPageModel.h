#pragma once
// What a settings page does with the settings file's bytes, without its controls: the byte
// table, the range check on load, clicks, the three kinds of defaults, the checksum, the compare
// that decides whether a save needs a card format, the restore of that setting and validation.
// Both pages work on the main dialog's two buffers: the working copy and the copy as loaded.

#include "setupfile/SetupByteTable.h"
#include "setupfile/SetupFileLayout.h"
#include "setupfile/SetupIdentity.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tachy::setupfile {

enum class SetupPageKind { STMI0, LogOn };

// Why a file is refused on load; the checks run in this order.
enum class SetupFileStatus { Valid, WrongSize, WrongChecksum, WrongMaker, WrongModel };

// Answers of Compare().
constexpr int kCompareNothingSpecial = -1;
constexpr int kCompareNeedsFormat = 1;

class ISetupPageModel {
public:
    virtual ~ISetupPageModel() = default;

    // The page of a "Product ID": 0 the first page, 5 and 7 the second; null for any other.
    static std::unique_ptr<ISetupPageModel> Create(int productId);

    virtual SetupPageKind Kind() const = 0;
    virtual std::span<const SetupByteSetting> Settings() const = 0;
    // The table row of a byte, or null.
    const SetupByteSetting* Find(int offset) const;

    // The value the page shows for a setting: on the second page a value out of range (negative
    // as a signed byte or above the maximum) shows as the load default; the first page shows
    // the byte as it stands.
    int ShownValue(const SetupBuffer& working, const SetupByteSetting& setting) const;
    // "Show values": replaces every value out of range in the working copy by what is shown
    // (and its mirror), so that what is saved is what the user saw. Answers how many changed.
    int ApplyLoadRanges(SetupBuffer& working) const;

    // A click on button `value` or a list selection: stores it (and its mirror). False, and
    // nothing stored, for a byte not on the page or a value outside its choices.
    bool SetChoice(SetupBuffer& working, int offset, int value) const;

    // The "default" button.
    virtual void ButtonDefaults(SetupBuffer& working, const SetupIdentity& identity) const = 0;
    // The page's factory defaults (system initialisation). The first page has none.
    virtual void FactoryDefaults(SetupBuffer& working, const SetupIdentity& identity) const = 0;
    // What a new or repaired file holds: a file that passes Validate() for this page.
    virtual void NewFileDefaults(SetupBuffer& working, const SetupIdentity& identity) const = 0;

    void UpdateChecksum(SetupBuffer& working) const;

    // The model name the page shows (the first page: the text at 64; the second: empty).
    virtual std::string ModelNameText(const SetupBuffer& working, int codePage) const = 0;

    // kCompareNeedsFormat when the change needs the card formatted, else kCompareNothingSpecial.
    virtual int Compare(const SetupBuffer& loaded, const SetupBuffer& working) const = 0;
    // Puts the format-relevant setting back from the loaded copy (after the user declined the
    // format). `mode` is the caller's: 0 after the compare answered 0, 1 after it answered 1.
    virtual void RestoreFormatSetting(const SetupBuffer& loaded, SetupBuffer& working,
                                      int mode) const = 0;

    // Size, checksum, maker (and on the first page the model) of a file's bytes.
    virtual SetupFileStatus Validate(std::span<const std::uint8_t> bytes,
                                     const SetupIdentity& identity) const;

protected:
    static void ClearChecksummedBytes(SetupBuffer& working);
    static void SetBytes(SetupBuffer& working, std::span<const SetupByteValue> values);
    void SetTableColumn(SetupBuffer& working, int SetupByteSetting::*column) const;
    virtual bool ChecksModelName() const = 0;
};

} // namespace tachy::setupfile
