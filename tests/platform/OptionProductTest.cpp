#include "platform/profile/OptionProduct.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

using tachy::OptionProduct;
using tachy::test::TempFolder;

namespace {

std::string option(const std::string& select, const std::string& productId) {
    return "[Setting]\r\nSelect=" + select + "\r\n" +
           "[AppInfo_1]\r\nProduct ID=3\r\nTitle=first\r\n" +
           "[appinfo_2]\r\nProduct ID=" + productId + "\r\nTitle=second\r\n" +
           "[AppInfo_2]\r\nProduct ID=9\r\nTitle=never seen\r\n";
}

} // namespace

TEST(OptionProduct, SelectsTheNamedBlockWithoutRegardToCaseAndItsFirstSection) {
    const TempFolder folder;
    folder.write("option.ini", option("2", "5"));
    const auto product = OptionProduct::load(folder.path());
    ASSERT_TRUE(product.has_value());
    EXPECT_EQ(product->block, "AppInfo_2");
    EXPECT_EQ(product->productId, 5);
    EXPECT_EQ(product->file.readString(product->block, "Title", ""), "second");
}

TEST(OptionProduct, CountsAsMissingWithoutAFileASelectionOrAProduct) {
    const TempFolder folder;
    EXPECT_FALSE(OptionProduct::load(folder.path()).has_value()) << "no file";
    folder.write("option.ini", "[Setting]\r\n[AppInfo_0]\r\nProduct ID=1\r\n");
    EXPECT_FALSE(OptionProduct::load(folder.path()).has_value()) << "no Select";
    folder.write("option.ini", option("-1", "5"));
    EXPECT_FALSE(OptionProduct::load(folder.path()).has_value()) << "negative Select";
    folder.write("option.ini", option("2", "-4"));
    EXPECT_FALSE(OptionProduct::load(folder.path()).has_value()) << "negative Product ID";
    folder.write("option.ini", option("3", "5"));
    EXPECT_FALSE(OptionProduct::load(folder.path()).has_value()) << "a block that is not there";
    folder.write("option.ini", option("2", "0"));
    EXPECT_TRUE(OptionProduct::load(folder.path()).has_value()) << "product 0 is a product";
}
