#include "tools/calculators/ui/calculators_panel.h"

#include "app/support/message_box.h"
#include "tools/calculators/price_calculators.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

namespace {

using calculators::Problem;

constexpr int kColumnLeft = 8;
constexpr int kColumnTop = 10;
constexpr int kSmallWidth = 320;
constexpr int kSmallHeight = 186;
constexpr int kGap = 10;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const char* initial = "") {
    auto* edit = new QLineEdit(text(initial), parent);
    edit->setObjectName(text(name));
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(text(caption), parent);
    button->setObjectName(text(name));
    return button;
}

QCheckBox* makeSwitch(QWidget* parent, const char* name, const char* caption, bool ticked) {
    auto* box = new QCheckBox(text(caption), parent);
    box->setObjectName(text(name));
    box->setChecked(ticked);
    return box;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QGroupBox(text(caption), parent);
    box->setObjectName(text(name));
    return box;
}

// One row of a small calculator: label, box and, for inputs, the hint to the right.
QLineEdit* addRow(QGridLayout* grid, int row, const char* name, const char* label,
                  const char* hint = nullptr) {
    QWidget* owner = grid->parentWidget();
    auto* edit = makeEdit(owner, name);
    grid->addWidget(new QLabel(text(label), owner), row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(edit, row, 1);
    if (hint)
        grid->addWidget(new QLabel(text(hint), owner), row, 2);
    return edit;
}

QGridLayout* smallCalculatorGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(10, 14, 10, 10);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    // The same label and hint columns in all three, so their boxes line up one under the other.
    const QFontMetrics metrics = box->fontMetrics();
    grid->setColumnMinimumWidth(0, metrics.horizontalAdvance(text("折后价格：")));
    grid->setColumnMinimumWidth(2, metrics.horizontalAdvance(text("没有任何优惠时候的价格")));
    return grid;
}

// The two buttons stand in the hint column beside the result rows, where there is no hint.
void addButtons(QGridLayout* grid, int firstRow, QPushButton* compute, QPushButton* clear) {
    for (QPushButton* button : {compute, clear})
        button->setMinimumWidth(96);
    grid->addWidget(compute, firstRow, 2, Qt::AlignLeft);
    grid->addWidget(clear, firstRow + 1, 2, Qt::AlignLeft);
}

std::string boxText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void showResult(QLineEdit* edit, float value, const char* unit) {
    edit->setText(QString::fromStdString(calculators::resultText(value, unit)));
}

void clearBoxes(std::initializer_list<QLineEdit*> boxes) {
    for (QLineEdit* box : boxes)
        box->clear();
}

void showProblem(Problem problem) {
    const QString missing = text("请输入数值");
    const char* message = "";
    QString caption = missing;
    switch (problem) {
    case Problem::FullPriceEmpty:
        message = "原价数据不能为空！";
        break;
    case Problem::CurrentPriceEmpty:
        message = "打折数据不能为空！";
        break;
    case Problem::DiscountEmpty:
        message = "折扣数据不能为空！";
        break;
    case Problem::InputEmpty:
        message = "计算数据不能为空！";
        break;
    case Problem::ListedPriceEmpty:
        message = "活动价格数据不能为空！";
        break;
    case Problem::FullPriceZero:
        message = "原价不能为0，无法计算折扣！";
        break;
    case Problem::DiscountZero:
        message = "折扣不能为0，无法计算原价！";
        break;
    case Problem::PlatformThresholdZero:
        message = "勾选“上不封顶”时，平台满减的门槛金额不能为0！";
        break;
    case Problem::ShopThresholdZero:
        message = "勾选“上不封顶”时，店铺满减的门槛金额不能为0！";
        break;
    case Problem::NotFinite:
        caption = text("计算错误");
        message = "计算结果不是有效的数值，请检查输入的数值是否过大！";
        break;
    }
    ui::showMessage(nullptr, text(message), caption, ui::MessageIcon::Warning);
}

} // namespace

CalculatorsPanel::CalculatorsPanel(QWidget* pageBox) : QWidget(pageBox) {
    setObjectName(QStringLiteral("CalculatorsPanel"));
    setGeometry(0, 0, 701, 598);

    int top = kColumnTop;
    for (QGroupBox* box : {buildDiscountedPrice(), buildDiscountRate(), buildFullPrice()}) {
        box->setGeometry(kColumnLeft, top, kSmallWidth, kSmallHeight);
        top += kSmallHeight + kGap;
    }
    buildFinalPrice()->setGeometry(kColumnLeft + kSmallWidth + 6, kColumnTop, 362, 580);
}

QGroupBox* CalculatorsPanel::buildDiscountedPrice() {
    QGroupBox* box = makeGroup(this, "分组框7", "我要打折");
    QGridLayout* grid = smallCalculatorGrid(box);
    m_cutFullPrice = addRow(grid, 0, "编辑框13", "原价：", "没有任何折扣前的价格");
    m_cutDiscount = addRow(grid, 1, "编辑框14", "打折：", "你想要打几折就写几折");
    m_cutPrice = addRow(grid, 2, "编辑框15", "折后价格：");
    m_cutSaving = addRow(grid, 3, "编辑框16", "优惠了：");
    auto* compute = makeButton(box, "按钮8", "计算打折");
    auto* clear = makeButton(box, "按钮9", "清除归零");
    addButtons(grid, 2, compute, clear);
    connect(compute, &QPushButton::clicked, this, &CalculatorsPanel::computeDiscountedPrice);
    connect(clear, &QPushButton::clicked, this, [this] {
        clearBoxes({m_cutFullPrice, m_cutDiscount, m_cutPrice, m_cutSaving});
    });
    return box;
}

QGroupBox* CalculatorsPanel::buildDiscountRate() {
    QGroupBox* box = makeGroup(this, "分组框5", "计算打了几折");
    QGridLayout* grid = smallCalculatorGrid(box);
    m_rateFullPrice = addRow(grid, 0, "编辑框9", "原价：", "没有任何优惠前的价格");
    m_rateCurrentPrice = addRow(grid, 1, "编辑框8", "现价：", "优惠后的价格");
    m_rateDiscount = addRow(grid, 2, "编辑框6", "折扣：");
    m_rateSaving = addRow(grid, 3, "编辑框7", "优惠了：");
    auto* compute = makeButton(box, "按钮4", "计算折扣");
    auto* clear = makeButton(box, "按钮5", "清除归零");
    addButtons(grid, 2, compute, clear);
    connect(compute, &QPushButton::clicked, this, &CalculatorsPanel::computeDiscountRate);
    connect(clear, &QPushButton::clicked, this, [this] {
        clearBoxes({m_rateDiscount, m_rateSaving, m_rateCurrentPrice, m_rateFullPrice});
    });
    return box;
}

QGroupBox* CalculatorsPanel::buildFullPrice() {
    QGroupBox* box = makeGroup(this, "分组框6", "计算原价多少钱");
    QGridLayout* grid = smallCalculatorGrid(box);
    m_fullCurrentPrice = addRow(grid, 0, "编辑框12", "现价：", "优惠过后的价格");
    m_fullDiscount = addRow(grid, 1, "编辑框11", "折扣：", "优惠的折扣");
    m_fullPrice = addRow(grid, 2, "编辑框10", "原价：", "没有任何优惠时候的价格");
    auto* compute = makeButton(box, "按钮6", "计算原价");
    auto* clear = makeButton(box, "按钮7", "清除归零");
    // The result has a hint too, so the buttons get a line of their own.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    for (QPushButton* button : {compute, clear}) {
        button->setMinimumWidth(96);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(compute, &QPushButton::clicked, this, &CalculatorsPanel::computeFullPrice);
    connect(clear, &QPushButton::clicked, this, [this] {
        clearBoxes({m_fullDiscount, m_fullCurrentPrice, m_fullPrice});
    });
    return box;
}

QGroupBox* CalculatorsPanel::buildFinalPrice() {
    QGroupBox* outer = makeGroup(this, "分组框8", "计算到手价是多少");
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(10, 14, 10, 12);
    outerLayout->setSpacing(14);

    QGroupBox* inner = makeGroup(outer, "分组框9", "");
    outerLayout->addWidget(inner, 1);
    auto* column = new QVBoxLayout(inner);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);

    auto priceLine = [inner, column](QLineEdit* edit, const char* label, const char* unit) {
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        line->addWidget(new QLabel(text(label), inner));
        line->addWidget(edit, 1);
        if (unit)
            line->addWidget(new QLabel(text(unit), inner));
        column->addLayout(line);
    };

    m_listedPrice = makeEdit(inner, "编辑框17");
    // A press in the price box empties it, so a new price can be typed at once.
    m_listedPrice->installEventFilter(this);
    priceLine(m_listedPrice, "活动挂牌价格：", "元");

    // Each offer: its caption on one line, then 满 threshold 减 amount, with the switches to the right.
    auto* offers = new QGridLayout;
    offers->setHorizontalSpacing(6);
    offers->setVerticalSpacing(6);
    offers->setColumnStretch(4, 1);
    // Empty stretching rows spread the offers evenly over the height of the box.
    int row = 0;
    offers->setRowStretch(row++, 1);
    auto addOffer = [&](const char* caption, const char* thresholdName, const char* threshold,
                        const char* amountName, const char* amount, QCheckBox* besideCaption,
                        QCheckBox* besideAmount) {
        offers->addWidget(new QLabel(text(caption), inner), row, 0, 1, 5);
        if (besideCaption)
            offers->addWidget(besideCaption, row, 5);
        ++row;
        auto* thresholdEdit = makeEdit(inner, thresholdName, threshold);
        auto* amountEdit = makeEdit(inner, amountName, amount);
        for (QLineEdit* edit : {thresholdEdit, amountEdit})
            edit->setFixedWidth(72);
        offers->addWidget(new QLabel(text("满"), inner), row, 0);
        offers->addWidget(thresholdEdit, row, 1);
        offers->addWidget(new QLabel(text("减"), inner), row, 2);
        offers->addWidget(amountEdit, row, 3);
        if (besideAmount)
            offers->addWidget(besideAmount, row, 5);
        ++row;
        offers->setRowStretch(row++, 1);
        return std::pair{thresholdEdit, amountEdit};
    };
    m_useCoupons = makeSwitch(inner, "选择框4", "使用优惠券", true);
    m_noUpperLimit = makeSwitch(inner, "选择框1", "上不封顶", true);
    m_platformOffer = makeSwitch(inner, "选择框3", "平台满减", true);
    m_shopOffer = makeSwitch(inner, "选择框2", "店铺满减", false);
    std::tie(m_coupon1Threshold, m_coupon1Amount) =
        addOffer("优惠券1金额：", "编辑框28", "99", "编辑框18", "5", nullptr, nullptr);
    std::tie(m_coupon2Threshold, m_coupon2Amount) =
        addOffer("优惠券2金额：", "编辑框27", "199", "编辑框19", "10", nullptr, m_useCoupons);
    std::tie(m_coupon3Threshold, m_coupon3Amount) =
        addOffer("优惠券3金额：", "编辑框26", "299", "编辑框20", "20", nullptr, nullptr);
    std::tie(m_platformThreshold, m_platformAmount) =
        addOffer("平台满减：", "编辑框25", "200", "编辑框24", "20", m_noUpperLimit, m_platformOffer);
    std::tie(m_shopThreshold, m_shopAmount) =
        addOffer("店铺满减：", "编辑框32", "300", "编辑框33", "10", nullptr, m_shopOffer);
    column->addLayout(offers, 1);

    m_finalPrice = makeEdit(inner, "编辑框23");
    priceLine(m_finalPrice, "到手价：", nullptr);

    auto* buttons = new QHBoxLayout;
    auto* compute = makeButton(outer, "按钮12", "计算");
    auto* clear = makeButton(outer, "按钮13", "归零");
    for (QPushButton* button : {compute, clear}) {
        button->setMinimumWidth(110);
        buttons->addWidget(button);
    }
    outerLayout->addLayout(buttons);
    connect(compute, &QPushButton::clicked, this, &CalculatorsPanel::computeFinalPrice);
    // Only the price and the result: the offers stay as they were set.
    connect(clear, &QPushButton::clicked, this, [this] { clearBoxes({m_finalPrice, m_listedPrice}); });
    return outer;
}

bool CalculatorsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listedPrice && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        m_listedPrice->clear(); // the press itself goes on and places the caret
    return QWidget::eventFilter(watched, event);
}

void CalculatorsPanel::computeDiscountRate() {
    const auto result = calculators::discountRate(boxText(m_rateFullPrice), boxText(m_rateCurrentPrice));
    if (!result) {
        showProblem(result.error());
        return;
    }
    showResult(m_rateDiscount, result->discount, "折");
    showResult(m_rateSaving, result->saving, "元");
}

void CalculatorsPanel::computeDiscountedPrice() {
    const auto result = calculators::discountedPrice(boxText(m_cutFullPrice), boxText(m_cutDiscount));
    if (!result) {
        showProblem(result.error());
        return;
    }
    showResult(m_cutPrice, result->price, "元");
    showResult(m_cutSaving, result->saving, "元");
}

void CalculatorsPanel::computeFullPrice() {
    const auto result = calculators::fullPrice(boxText(m_fullCurrentPrice), boxText(m_fullDiscount));
    if (!result) {
        showProblem(result.error());
        return;
    }
    showResult(m_fullPrice, *result, "元");
}

void CalculatorsPanel::computeFinalPrice() {
    const std::string listed = boxText(m_listedPrice);
    const std::string c1 = boxText(m_coupon1Threshold), a1 = boxText(m_coupon1Amount);
    const std::string c2 = boxText(m_coupon2Threshold), a2 = boxText(m_coupon2Amount);
    const std::string c3 = boxText(m_coupon3Threshold), a3 = boxText(m_coupon3Amount);
    const std::string platform = boxText(m_platformThreshold), platformAmount = boxText(m_platformAmount);
    const std::string shop = boxText(m_shopThreshold), shopAmount = boxText(m_shopAmount);
    calculators::FinalPriceInput input{
        .listedPrice = listed,
        .coupon1Threshold = c1,
        .coupon1Amount = a1,
        .coupon2Threshold = c2,
        .coupon2Amount = a2,
        .coupon3Threshold = c3,
        .coupon3Amount = a3,
        .platformThreshold = platform,
        .platformAmount = platformAmount,
        .shopThreshold = shop,
        .shopAmount = shopAmount,
        .useCoupons = m_useCoupons->isChecked(),
        .noUpperLimit = m_noUpperLimit->isChecked(),
        .platformOffer = m_platformOffer->isChecked(),
        .shopOffer = m_shopOffer->isChecked(),
    };
    const auto result = calculators::finalPrice(input);
    if (!result) {
        showProblem(result.error());
        return;
    }
    showResult(m_finalPrice, *result, "元");
}
