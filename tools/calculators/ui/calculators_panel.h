#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;

/// The four price calculators of the first page. The widgets only read the boxes, call the computation
/// and show its results or its problems.
class CalculatorsPanel : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorsPanel(QWidget* pageBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildDiscountedPrice();
    QGroupBox* buildDiscountRate();
    QGroupBox* buildFullPrice();
    QGroupBox* buildFinalPrice();

    void computeDiscountRate();
    void computeDiscountedPrice();
    void computeFullPrice();
    void computeFinalPrice();

    // Discount rate (分组框5)
    QLineEdit* m_rateFullPrice = nullptr;    // 编辑框9
    QLineEdit* m_rateCurrentPrice = nullptr; // 编辑框8
    QLineEdit* m_rateDiscount = nullptr;     // 编辑框6
    QLineEdit* m_rateSaving = nullptr;       // 编辑框7
    // Discounted price (分组框7)
    QLineEdit* m_cutFullPrice = nullptr; // 编辑框13
    QLineEdit* m_cutDiscount = nullptr;  // 编辑框14
    QLineEdit* m_cutPrice = nullptr;     // 编辑框15
    QLineEdit* m_cutSaving = nullptr;    // 编辑框16
    // Full price (分组框6)
    QLineEdit* m_fullCurrentPrice = nullptr; // 编辑框12
    QLineEdit* m_fullDiscount = nullptr;     // 编辑框11
    QLineEdit* m_fullPrice = nullptr;        // 编辑框10
    // Final price (分组框8)
    QLineEdit* m_listedPrice = nullptr; // 编辑框17
    QLineEdit* m_coupon1Threshold = nullptr;
    QLineEdit* m_coupon1Amount = nullptr;
    QLineEdit* m_coupon2Threshold = nullptr;
    QLineEdit* m_coupon2Amount = nullptr;
    QLineEdit* m_coupon3Threshold = nullptr;
    QLineEdit* m_coupon3Amount = nullptr;
    QLineEdit* m_platformThreshold = nullptr;
    QLineEdit* m_platformAmount = nullptr;
    QLineEdit* m_shopThreshold = nullptr;
    QLineEdit* m_shopAmount = nullptr;
    QLineEdit* m_finalPrice = nullptr;    // 编辑框23
    QCheckBox* m_useCoupons = nullptr;    // 选择框4
    QCheckBox* m_noUpperLimit = nullptr;  // 选择框1
    QCheckBox* m_platformOffer = nullptr; // 选择框3
    QCheckBox* m_shopOffer = nullptr;     // 选择框2
};
