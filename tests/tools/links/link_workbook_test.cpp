#include "tools/links/link_workbook.h"

#include "temporary_directory.h"
#include "xlsx_reader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

const std::string kOldWorkbook = "an older workbook the user still has";

links::LinkRows rowsOf(const std::vector<std::string>& ids,
                       links::LinkTemplate link = {"https://shop.test/item.htm?id=", ""}) {
    auto text = std::make_shared<links::IdText>();
    for (const std::string& id : ids)
        text->addLine(id);
    return {links::IdRows(text), std::move(link)};
}

// `count` rows with distinct IDs, without a string per row.
links::LinkRows manyRows(std::size_t count) {
    auto text = std::make_shared<links::IdText>();
    text->text.reserve(count * 13);
    for (std::size_t i = 0; i < count; ++i)
        text->addLine(std::to_string(600000000000 + i));
    return {links::IdRows(text), {"https://shop.test/item.htm?id=", ""}};
}

class LinkWorkbookTest : public testing::Test {
protected:
    std::filesystem::path target() const {
        return m_directory.path() / std::string(links::kWorkbookFileName);
    }

    // Only the target may be left in the directory: no temporary or scratch file.
    std::vector<std::string> filesInDirectory() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_directory.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TemporaryDirectory m_directory;
};

TEST_F(LinkWorkbookTest, EveryCellReadsBackAsTextInOrder) {
    const std::vector<std::string> ids{
        "1234567890123456789", // beyond the 15 digits a number keeps
        "0012345",             // leading zeros
        "",                    // an empty line of the file
        "\xE6\xB5\x8B\xE8\xAF\x95 3001",
        "a<b>&\"c'", // XML's own characters
        "1e5",       // would read as a number
        "tab\there",
    };
    const auto rows = rowsOf(ids);
    ASSERT_TRUE(links::writeLinkWorkbook(target(), rows));

    const auto workbook = readWorkbook(target(), 3);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheets, std::vector<std::string>{"Sheet1"});
    ASSERT_EQ(workbook->rows.size(), ids.size() + 1);
    EXPECT_EQ(workbook->cell(1, 1).value, "商品ID");
    EXPECT_EQ(workbook->cell(1, 2).value, "商品地址");
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const int row = static_cast<int>(k) + 2;
        const auto id = workbook->cell(row, 1);
        const auto link = workbook->cell(row, 2);
        if (ids[k].empty()) {
            EXPECT_EQ(id.type, "empty") << row;
        } else {
            EXPECT_EQ(id.type, "s") << row;
            EXPECT_EQ(id.value, ids[k]) << row;
        }
        EXPECT_EQ(link.type, "s") << row;
        EXPECT_EQ(link.value, rows.linkAt(k)) << row;
    }
    for (const auto& [place, font] : workbook->fonts) {
        EXPECT_EQ(font.name, "宋体") << place.first << "," << place.second;
        EXPECT_EQ(font.size, 11) << place.first << "," << place.second;
    }
    EXPECT_EQ(workbook->fonts.size(), 6u); // A1 to B3
    EXPECT_EQ(filesInDirectory(), std::vector<std::string>{std::string(links::kWorkbookFileName)});
}

TEST_F(LinkWorkbookTest, ASecondExportReplacesTheFirstWhole) {
    ASSERT_TRUE(links::writeLinkWorkbook(target(), rowsOf({"1", "2", "3", "4"})));
    ASSERT_TRUE(links::writeLinkWorkbook(target(), rowsOf({"9"})));
    const auto workbook = readWorkbook(target());
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->rows.size(), 2u);
    EXPECT_EQ(workbook->cell(2, 1).value, "9");
}

TEST_F(LinkWorkbookTest, EmptyListGivesTheHeaderOnly) {
    ASSERT_TRUE(links::writeLinkWorkbook(target(), rowsOf({})));
    const auto workbook = readWorkbook(target());
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->rows.size(), 1u);
    EXPECT_EQ(workbook->cell(1, 2).value, "商品地址");
}

// Each failure leaves the old workbook byte for byte and no file behind.
TEST_F(LinkWorkbookTest, FailuresLeaveTheOldWorkbookUntouched) {
    m_directory.write(std::string(links::kWorkbookFileName), kOldWorkbook);

    {
        SCOPED_TRACE("read-only directory");
        ASSERT_EQ(::chmod(m_directory.path().c_str(), 0555), 0);
        const auto result = links::writeLinkWorkbook(target(), rowsOf({"1"}));
        ::chmod(m_directory.path().c_str(), 0755);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().failure, links::ExportFailure::CannotCreate);
        EXPECT_EQ(result.error().systemError, EACCES);
    }
    {
        SCOPED_TRACE("cell too long");
        const auto result = links::writeLinkWorkbook(target(), rowsOf({"1", std::string(40000, '7')}));
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().failure, links::ExportFailure::CellTooLong);
        EXPECT_EQ(result.error().row, 2u);
    }
    {
        SCOPED_TRACE("more rows than a sheet holds");
        const auto result = links::writeLinkWorkbook(target(), manyRows(links::kMaxWorkbookRows + 1));
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().failure, links::ExportFailure::TooManyRows);
        EXPECT_EQ(result.error().row, links::kMaxWorkbookRows + 1);
    }
    {
        SCOPED_TRACE("cancelled");
        int asked = 0;
        const auto result =
            links::writeLinkWorkbook(target(), manyRows(20000), {{}, [&] { return ++asked > 2; }});
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().failure, links::ExportFailure::Cancelled);
    }
    EXPECT_EQ(TemporaryDirectory::read(target()), kOldWorkbook);
    EXPECT_EQ(filesInDirectory(), std::vector<std::string>{std::string(links::kWorkbookFileName)});
}

// A full disk, simulated with a file-size limit: writes beyond it fail as they would on a full disk.
TEST_F(LinkWorkbookTest, AFullDiskIsReportedAndLeavesTheOldWorkbook) {
    m_directory.write(std::string(links::kWorkbookFileName), kOldWorkbook);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto result = links::writeLinkWorkbook(target(), manyRows(60000));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().failure, links::ExportFailure::WriteFailed);
    EXPECT_EQ(result.error().systemError, EFBIG);
    EXPECT_EQ(TemporaryDirectory::read(target()), kOldWorkbook);
    EXPECT_EQ(filesInDirectory(), std::vector<std::string>{std::string(links::kWorkbookFileName)});
}

TEST_F(LinkWorkbookTest, MissingDirectoryOrDirectoryInTheWay) {
    const auto missing = links::writeLinkWorkbook(m_directory.path() / "gone" / "x.xlsx", rowsOf({"1"}));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().failure, links::ExportFailure::CannotCreate);
    EXPECT_EQ(missing.error().systemError, ENOENT);

    std::filesystem::create_directory(target());
    m_directory.write(std::string(links::kWorkbookFileName) + "/keep", "x");
    const auto blocked = links::writeLinkWorkbook(target(), rowsOf({"1"}));
    ASSERT_FALSE(blocked);
    EXPECT_EQ(blocked.error().failure, links::ExportFailure::CannotReplace);
    EXPECT_EQ(filesInDirectory(), std::vector<std::string>{std::string(links::kWorkbookFileName)});
}

TEST_F(LinkWorkbookTest, ProgressGrowsToTheWholeWork) {
    std::uint64_t lastDone = 0, lastTotal = 0;
    int reports = 0;
    const links::TaskObserver observer{[&](std::uint64_t done, std::uint64_t total) {
                                           EXPECT_GE(done, lastDone);
                                           lastDone = done;
                                           lastTotal = total;
                                           ++reports;
                                       },
                                       {}};
    ASSERT_TRUE(links::writeLinkWorkbook(target(), manyRows(20000), observer));
    EXPECT_GT(reports, 2);
    EXPECT_EQ(lastTotal, 40000u);
    EXPECT_EQ(lastDone, lastTotal);
}

// The largest list a sheet holds is written whole (read back in full by the benchmark).
TEST_F(LinkWorkbookTest, TheLargestListFits) {
    ASSERT_TRUE(links::writeLinkWorkbook(target(), manyRows(links::kMaxWorkbookRows)));
    EXPECT_GT(std::filesystem::file_size(target()), 1'000'000u);
}

} // namespace
