#include "tools/channel_qr/ui/channel_qr_panel.h"

#include "message_recorder.h"
#include "platform/files.h"
#include "zbar_decoder.h"

#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>

namespace fs = std::filesystem;
using channel_qr::kChannelCount;

namespace {

std::string_view asText(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

fs::path utf8Path(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

QString pictureBoxName(std::size_t channel) {
    return QStringLiteral("图片框%1").arg(channel + 1);
}

// The page the shell gives the panel: a group box of 1096 x 598.
class ChannelQrPanelTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_runDir.isValid());
        qputenv("VARROW_RUN_DIR", m_runDir.path().toUtf8());
        qr::initModule();
        m_page = std::make_unique<QGroupBox>();
        m_page->setObjectName(QStringLiteral("分组框14"));
        m_page->resize(1096, 598);
        m_panel = new ChannelQrPanel(m_page.get());
        m_page->show();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(runDir(), fs::perms::owner_all, ignored);
        m_page.reset();
        qunsetenv("VARROW_RUN_DIR");
    }

    template <class T> T* child(const QString& name) const {
        T* found = m_panel->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* idBox() const { return child<QLineEdit>(QStringLiteral("编辑框41")); }
    QLabel* pictureBox(std::size_t channel) const { return child<QLabel>(pictureBoxName(channel)); }
    QByteArray boxBytes(std::size_t channel) const {
        return pictureBox(channel)->property("pictureBytes").toByteArray();
    }
    fs::path runDir() const { return fs::path(m_runDir.path().toStdString()); }
    fs::path outputDir() const { return runDir() / utf8Path(channel_qr::kOutputDirectoryName); }

    void click(const QString& button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    /// Clicks 按钮20 and, when that started a save, waits until the save has ended.
    void clickSave() {
        QSignalSpy finished(m_panel, &ChannelQrPanel::saveFinished);
        click(QStringLiteral("按钮20"));
        if (m_panel->isSaving()) {
            ASSERT_TRUE(finished.wait(20000));
        }
    }

    /// Clicks 按钮19 for `id` and waits until that generation has ended.
    void generateFor(const QString& id) {
        idBox()->setText(id);
        QSignalSpy finished(m_panel, &ChannelQrPanel::generationFinished);
        click(QStringLiteral("按钮19"));
        ASSERT_TRUE(m_panel->isGenerating());
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_FALSE(m_panel->isGenerating());
    }

    /// The links the ten boxes show, read back by zbar from the box pictures as they are displayed.
    std::vector<std::string> decodedBoxes() const {
        std::vector<std::string> texts;
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            const QImage shown =
                pictureBox(channel)->pixmap().toImage().convertToFormat(QImage::Format_Grayscale8);
            qrtest::GreyImage grey{shown.width(), shown.height(), {}};
            for (int y = 0; y < shown.height(); ++y)
                grey.pixels.insert(grey.pixels.end(), shown.constScanLine(y),
                                   shown.constScanLine(y) + shown.width());
            const std::vector<std::string> found =
                shown.isNull() ? std::vector<std::string>{} : qrtest::decodeAllWithZbar(grey);
            texts.push_back(found.size() == 1 ? found.front() : std::string("<none>"));
        }
        return texts;
    }

    static std::vector<std::string> linksOf(std::string_view id) {
        std::vector<std::string> texts;
        for (const channel_qr::ChannelLink& link : channel_qr::channelLinks(id))
            texts.push_back(link.link);
        return texts;
    }

    std::size_t savedFileCount() const {
        return fs::exists(outputDir())
                   ? static_cast<std::size_t>(std::distance(fs::directory_iterator(outputDir()), {}))
                   : 0;
    }

    QTemporaryDir m_runDir;
    std::unique_ptr<QGroupBox> m_page;
    ChannelQrPanel* m_panel = nullptr;
    MessageRecorder m_messages;
};

// Holds a worker inside its picture call until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool isOpen = false;
    std::atomic<bool> entered{false};
    std::atomic<bool> heldCallReturned{false};

    void pass() {
        entered = true;
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return isOpen; });
    }
    void open() {
        {
            std::lock_guard lock(mutex);
            isOpen = true;
        }
        opened.notify_all();
    }
};

// A failed assertion must not leave a worker waiting forever.
struct GateOpener {
    std::shared_ptr<Gate> gate;
    ~GateOpener() { gate->open(); }
};

QList<QWidget*> directChildren(QWidget* parent) {
    return parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

// Every widget lies inside its parent, no two siblings overlap, and every text has the room it asks for.
void expectTidyLayout(QWidget* parent) {
    const QList<QWidget*> children = directChildren(parent);
    for (qsizetype i = 0; i < children.size(); ++i) {
        QWidget* a = children[i];
        const std::string name = a->objectName().toStdString();
        EXPECT_TRUE(parent->rect().contains(a->geometry()))
            << name << " sticks out of " << parent->objectName().toStdString();
        for (qsizetype j = i + 1; j < children.size(); ++j)
            EXPECT_FALSE(a->geometry().intersects(children[j]->geometry()))
                << name << " overlaps " << children[j]->objectName().toStdString();
        if (qobject_cast<QPushButton*>(a) ||
            (qobject_cast<QLabel*>(a) && !qobject_cast<QLabel*>(a)->text().isEmpty())) {
            EXPECT_LE(a->sizeHint().width(), a->width()) << name << " text is cut";
            EXPECT_LE(a->sizeHint().height(), a->height()) << name << " text is cut";
        }
        expectTidyLayout(a);
    }
}

} // namespace

TEST_F(ChannelQrPanelTest, ControlsFitThePageWithAndWithoutTheSkin) {
    EXPECT_EQ(m_panel->geometry(), m_page->rect());
    {
        SCOPED_TRACE("plain style");
        expectTidyLayout(m_panel);
    }
    QFile skin(QStringLiteral(VARROW_SKIN_FILE));
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    m_page->setStyleSheet(QString::fromUtf8(skin.readAll()));
    {
        SCOPED_TRACE("skin");
        expectTidyLayout(m_panel);
    }
}

TEST_F(ChannelQrPanelTest, TwoRowsOfFiveBoxesWithTheirCaptionsBelow) {
    struct Row {
        std::size_t firstChannel;
        int firstCaption;
    };
    // The upper row shows channels 6 to 10, the lower row channels 1 to 5.
    const Row rows[] = {{5, 52}, {0, 57}};
    const int upperTop = pictureBox(5)->y();
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < 5; ++column) {
            const std::size_t channel = row.firstChannel + column;
            QLabel* box = pictureBox(channel);
            auto* caption =
                child<QLabel>(QStringLiteral("标签%1").arg(row.firstCaption + static_cast<int>(column)));
            ASSERT_TRUE(box && caption);
            EXPECT_EQ(box->size(), QSize(200, 200));
            EXPECT_EQ(caption->text().toStdString(), channel_qr::kChannels[channel].caption);
            EXPECT_GE(caption->y(), box->geometry().bottom());
            EXPECT_LE(caption->y() - box->geometry().bottom(), 8);
            EXPECT_EQ(caption->geometry().center().x(), box->geometry().center().x());
            EXPECT_EQ(box->y(), pictureBox(row.firstChannel)->y()) << "one row";
            if (column > 0) {
                EXPECT_GT(box->x(), pictureBox(channel - 1)->x()) << "left to right";
            }
        }
    }
    EXPECT_LT(upperTop, pictureBox(0)->y());

    EXPECT_EQ(idBox()->text(), QStringLiteral("在这输入商品ID"));
    EXPECT_EQ(idBox()->height(), 32);
    EXPECT_EQ(child<QPushButton>(QStringLiteral("按钮19"))->text(), QStringLiteral("生成渠道二维码"));
    EXPECT_EQ(child<QPushButton>(QStringLiteral("按钮20"))->text(), QStringLiteral("保存二维码到本地"));
    // The ID box above the two buttons, in the lower right corner, right of 分组框15.
    auto* group15 = child<QGroupBox>(QStringLiteral("分组框15"));
    EXPECT_LT(idBox()->y(), child<QPushButton>(QStringLiteral("按钮19"))->y());
    EXPECT_LT(child<QPushButton>(QStringLiteral("按钮19"))->y(),
              child<QPushButton>(QStringLiteral("按钮20"))->y());
    EXPECT_GT(idBox()->x(), group15->geometry().right());
    EXPECT_GT(group15->y(), pictureBox(0)->geometry().bottom());
    EXPECT_EQ(group15->height(), 126);
    auto* label62 = child<QLabel>(QStringLiteral("标签62"));
    EXPECT_TRUE(label62->text().isEmpty());
    EXPECT_EQ(label62->parentWidget()->objectName(), QStringLiteral("分组框16"));
    EXPECT_EQ(label62->parentWidget()->parentWidget(), group15);
}

TEST_F(ChannelQrPanelTest, EveryLeftPressEmptiesTheIdBoxAndFocusesIt) {
    QLineEdit* box = idBox();
    m_page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    child<QPushButton>(QStringLiteral("按钮19"))->setFocus();
    ASSERT_FALSE(box->hasFocus());
    QTest::mousePress(box, Qt::LeftButton);
    QTest::mouseRelease(box, Qt::LeftButton);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->cursorPosition(), 0);
    QTest::keyClicks(box, QStringLiteral("1001"));
    EXPECT_EQ(box->text(), QStringLiteral("1001")) << "typing goes on after the press";

    QTest::mousePress(box, Qt::RightButton);
    QTest::mouseRelease(box, Qt::RightButton);
    EXPECT_EQ(box->text(), QStringLiteral("1001")) << "only the left button empties";

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->text().isEmpty()) << "every press, not only the first";
}

TEST_F(ChannelQrPanelTest, GeneratingWithoutAnIdIsRefused) {
    for (const QString& text : {QString(), QStringLiteral("  \u3000 ")}) {
        m_messages.clear();
        idBox()->setText(text);
        click(QStringLiteral("按钮19"));
        ASSERT_EQ(m_messages.messages().size(), 1u);
        EXPECT_EQ(m_messages.last().text, QStringLiteral("商品ID必须要填写"));
        EXPECT_EQ(m_messages.last().caption, QStringLiteral("不填ID生成个鬼啊！"));
        EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
        EXPECT_FALSE(m_panel->isGenerating());
    }
}

TEST_F(ChannelQrPanelTest, OneClickShowsTenCodesOfTheTrimmedIdAndSavingWritesThem) {
    generateFor(QStringLiteral(" 1001\t"));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(decodedBoxes(), linksOf("1001"));

    // The files are written on a worker; meanwhile the button takes no second click.
    auto* saveButton = child<QPushButton>(QStringLiteral("按钮20"));
    QSignalSpy finished(m_panel, &ChannelQrPanel::saveFinished);
    click(QStringLiteral("按钮20"));
    ASSERT_TRUE(m_panel->isSaving());
    EXPECT_FALSE(saveButton->isEnabled());
    click(QStringLiteral("按钮20"));
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(saveButton->isEnabled());
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(m_messages.last().text, QStringLiteral("二维码已经成功保存到程序运行目录"));
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("渠道码已经保存成功！"));
    EXPECT_EQ(savedFileCount(), kChannelCount);
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        const fs::path file =
            outputDir() / utf8Path(std::string(channel_qr::kChannels[channel].caption) + ".jpg");
        const auto content = platform::readWholeFile(file);
        ASSERT_TRUE(content) << content.error();
        EXPECT_TRUE(content->starts_with("BM"));
        EXPECT_EQ(*content, asText(boxBytes(channel))) << "the file holds its box's bytes";
        const auto grey = qrtest::greyFromBmp(*content);
        ASSERT_TRUE(grey);
        EXPECT_EQ(qrtest::decodeAllWithZbar(*grey), std::vector<std::string>{linksOf("1001")[channel]})
            << file;
    }
}

TEST_F(ChannelQrPanelTest, SecondSaveAfterAnotherProductOverwritesTheFiles) {
    generateFor(QStringLiteral("1001"));
    clickSave();
    generateFor(QStringLiteral("620011223344"));
    clickSave();
    ASSERT_EQ(m_messages.messages().size(), 2u);
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("渠道码已经保存成功！"));
    EXPECT_EQ(savedFileCount(), kChannelCount);
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        const auto content = platform::readWholeFile(
            outputDir() / channel_qr::pictureFileName(channel_qr::kChannels[channel].caption));
        ASSERT_TRUE(content);
        EXPECT_EQ(*content, asText(boxBytes(channel)));
    }
}

TEST_F(ChannelQrPanelTest, SavingWithoutCodesForTheCurrentIdWritesNothing) {
    struct Case {
        const char* name;
        QString generatedFor; // empty: nothing generated
        QString idAtSave;
        QString expectedText;
    };
    const QString generateFirst =
        QStringLiteral("还没有为这个商品ID生成渠道二维码。请先点击“生成渠道二维码”，"
                       "等十个二维码都生成后再保存。");
    const Case cases[] = {
        {"before any generation", {}, QStringLiteral("1001"), generateFirst},
        {"the placeholder text", {}, QStringLiteral("在这输入商品ID"), generateFirst},
        {"after the ID changed", QStringLiteral("1001"), QStringLiteral("1002"), generateFirst},
        {"with the ID box emptied", QStringLiteral("1001"), QString(),
         QStringLiteral("检测到商品ID目录为空")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.generatedFor.isEmpty())
            generateFor(c.generatedFor);
        m_messages.clear();
        idBox()->setText(c.idAtSave);
        clickSave();
        ASSERT_EQ(m_messages.messages().size(), 1u);
        EXPECT_EQ(m_messages.last().text, c.expectedText);
        EXPECT_EQ(m_messages.last().caption, QStringLiteral("保存失败"));
        EXPECT_FALSE(fs::exists(outputDir()));
    }
}

TEST_F(ChannelQrPanelTest, SavingIntoAReadOnlyRunDirectoryReportsTheFailureOnly) {
    generateFor(QStringLiteral("1001"));
    fs::permissions(runDir(), fs::perms::owner_read | fs::perms::owner_exec);
    clickSave();
    ASSERT_EQ(m_messages.messages().size(), 1u) << "no success message after the failure";
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("保存失败"));
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("生成的渠道码")))
        << m_messages.last().text.toStdString();
    EXPECT_FALSE(fs::exists(outputDir()));
}

TEST_F(ChannelQrPanelTest, UnwritableFileIsNamedInTheMessage) {
    generateFor(QStringLiteral("1001"));
    fs::create_directories(outputDir());
    fs::permissions(outputDir(), fs::perms::owner_read | fs::perms::owner_exec);
    clickSave();
    fs::permissions(outputDir(), fs::perms::owner_all);
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("猜你喜欢.jpg")))
        << m_messages.last().text.toStdString();
    EXPECT_EQ(savedFileCount(), 0u);
}

TEST_F(ChannelQrPanelTest, SecondClickRestartsAndNeverMixesTwoProducts) {
    // The first product's second picture is held back until the second click has been made, so the
    // replaced run has a picture in flight when the new one starts.
    auto gate = std::make_shared<Gate>();
    delete m_panel;
    m_panel = new ChannelQrPanel(m_page.get(),
                                 [gate](const channel_qr::ChannelLink& link, channel_qr::PictureSize size) {
                                     if (link.link.ends_with("bus?itemid=1001"))
                                         gate->pass();
                                     auto picture = channel_qr::makeChannelPicture(link, size);
                                     if (link.link.ends_with("bus?itemid=1001"))
                                         gate->heldCallReturned = true;
                                     return picture;
                                 });
    GateOpener openOnExit{gate};
    const auto second = channel_qr::generatePictures("2002");
    ASSERT_TRUE(second);
    auto secondBytes = [&](std::size_t channel) {
        const auto& bmp = (*second)[channel].bmp;
        return std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size());
    };

    QSignalSpy finished(m_panel, &ChannelQrPanel::generationFinished);
    idBox()->setText(QStringLiteral("1001"));
    click(QStringLiteral("按钮19"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !boxBytes(0).isEmpty(); }, 20000));
    idBox()->setText(QStringLiteral("2002"));
    click(QStringLiteral("按钮19"));
    for (std::size_t channel = 0; channel < kChannelCount; ++channel)
        EXPECT_TRUE(boxBytes(channel).isEmpty()) << "box " << channel + 1 << " still shows the first product";

    QDeadlineTimer deadline(20000);
    while (finished.isEmpty() && !deadline.hasExpired()) {
        QTest::qWait(2);
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            const QByteArray shown = boxBytes(channel);
            if (shown.isEmpty())
                continue;
            ASSERT_EQ(asText(shown), secondBytes(channel))
                << "box " << channel + 1 << " shows another product";
        }
    }
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(decodedBoxes(), linksOf("2002"));

    // Now the replaced run finishes its held picture; it must not reach the boxes.
    gate->open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->heldCallReturned.load(); }, 20000));
    QTest::qWait(50);
    EXPECT_EQ(decodedBoxes(), linksOf("2002"));
    EXPECT_EQ(finished.size(), 1) << "the replaced run reports nothing";
    EXPECT_TRUE(m_messages.empty());

    clickSave();
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("渠道码已经保存成功！"));
    const auto content = platform::readWholeFile(outputDir() / utf8Path("淘宝精选.jpg"));
    ASSERT_TRUE(content);
    EXPECT_EQ(*content, secondBytes(1));
}

TEST_F(ChannelQrPanelTest, ModuleErrorReportIsShownAndTheToolGoesOn) {
    // An ID this long makes links no QR symbol can hold.
    const std::string tooLong(3000, '9');
    const auto expected = channel_qr::generatePictures(tooLong);
    ASSERT_FALSE(expected);
    generateFor(QString::fromStdString(tooLong));
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().caption.toStdString(), qr::kErrorTitle);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
    EXPECT_EQ(m_messages.last().text.toStdString(), qr::describe(expected.error().report));

    m_messages.clear();
    clickSave();
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("保存失败"));
    EXPECT_FALSE(fs::exists(outputDir())) << "a failed generation is nothing to save";

    generateFor(QStringLiteral("1001"));
    EXPECT_EQ(decodedBoxes(), linksOf("1001"));
}

TEST_F(ChannelQrPanelTest, ClosingThePageWhileGeneratingIsSafe) {
    auto gate = std::make_shared<Gate>();
    GateOpener openOnExit{gate};
    delete m_panel;
    m_panel = new ChannelQrPanel(m_page.get(),
                                 [gate](const channel_qr::ChannelLink& link, channel_qr::PictureSize size) {
                                     gate->pass();
                                     auto picture = channel_qr::makeChannelPicture(link, size);
                                     gate->heldCallReturned = true;
                                     return picture;
                                 });
    idBox()->setText(QStringLiteral("1001"));
    click(QStringLiteral("按钮19"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->entered.load(); }, 20000));
    m_page.reset();
    // The held worker now makes its pictures for a page that is gone; nothing may reach it.
    gate->open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->heldCallReturned.load(); }, 20000));
    QTest::qWait(100);
    EXPECT_TRUE(m_messages.empty());
}
