#pragma once

#include "app/support/latest_job.h"
#include "tools/ai/completion.h"
#include "tools/ai/cooldown.h"

#include <QGroupBox>
#include <QPointer>

#include <array>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

/// The AI assistant group `分组框13`: three generators, each with an input box, a "生成" button with a
/// 20-second cool-down, an output box and its timer. Requests run in the background.
class AiPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit AiPanel(QWidget* pageBox, QWidget* mainWindow);

    /// Replaces the clock the cool-downs ask, so tests can move time forward without waiting.
    void setClock(const ai::Cooldown::Clock& clock);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct GeneratorUi {
        ai::Generator generator = ai::Generator::Encyclopedia;
        QString placeholder;
        QString emptyMessage;
        QLineEdit* input = nullptr;
        QPushButton* button = nullptr;
        QPlainTextEdit* output = nullptr;
        QTimer* timer = nullptr;
        ai::Cooldown cooldown;
        ui::LatestJob requests; ///< only the latest request may fill the output box
    };

    struct GeneratorPage;
    static const GeneratorPage kPages[3];

    void buildPage(QTabWidget* tabs, GeneratorUi& generator, const GeneratorPage& description);
    void generate(GeneratorUi& generator);
    void coolDownStep(GeneratorUi& generator);

    QPointer<QWidget> m_mainWindow;
    std::array<GeneratorUi, 3> m_generators;
};
