#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class MessageService;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The symbol of one vector theme: size or line thickness, hollow flag, a style from the list for
// the theme's shape kind, fill and outline colours. Knows nothing of layers: the legend row fills
// it and reads it back.
class SymbolDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SymbolDialog(QWidget *parent = nullptr);
    ~SymbolDialog() override;

    // The values the caller reads after the dialog closes.
    bool confirmed = false;
    QColor symbolColor = Qt::black;
    QColor symbolOutlineColor = Qt::black;
    double symbolSize = 1.0;
    bool isHollow = false;
    qint16 symbolStyle = 0;
    QString labelField; // as Symbol::labelField

    // Mode 0 markers, 1 lines, 2 fills: appends that list of styles; another mode adds nothing.
    void setMode(qint16 m);
    // What the caller sets before showing: size text, hollow box, colours with their samples,
    // the chosen style.
    void setSizeText(const QString &text);
    void setHollow(bool hollow);
    void setColors(const QColor &color, const QColor &outline);
    void selectStyle(int code);
    // The fields a theme can be labelled by, and the choice: empty for the theme's own labels,
    // Symbol::NoLabels for none.
    void setLabelFields(const QStringList &fields, const QString &current);

    // The colour chooser, replaceable in tests: (current colour) to the chosen one, or nothing
    // when cancelled.
    std::function<std::optional<QColor>(const QColor &)> chooseColor;
    // Where the refusal of a size that is not a number goes (a message box unless replaced).
    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    void acceptSymbol();
    void showColor(QLabel *sample, const QColor &color);
    void keepHollowAndStyleAgreed();

    qint16 m_mode = -1;
    MessageService *m_messages = nullptr;
    std::unique_ptr<MessageService> m_ownMessages;
    QLineEdit *m_size = nullptr;
    QCheckBox *m_hollow = nullptr;
    QComboBox *m_labels = nullptr;
    QComboBox *m_style = nullptr;
    QLabel *m_colorSample = nullptr;
    QLabel *m_outlineSample = nullptr;
};
