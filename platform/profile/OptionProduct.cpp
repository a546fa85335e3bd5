#include "platform/profile/OptionProduct.h"

namespace tachy {

std::optional<OptionProduct> OptionProduct::load(const std::filesystem::path& optionFolder) {
    OptionProduct product;
    product.file = ProfileFile::load(optionFolder / "option.ini");
    if (!product.file.exists()) {
        return std::nullopt;
    }
    const int select = product.file.readInt("Setting", "Select", -1);
    if (select < 0) {
        return std::nullopt;
    }
    product.block = "AppInfo_" + std::to_string(select);
    product.productId = product.file.readInt(product.block, "Product ID", -1);
    if (product.productId < 0) {
        return std::nullopt;
    }
    return product;
}

} // namespace tachy
