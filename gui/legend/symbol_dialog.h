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
class frmLegendOptionsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit frmLegendOptionsDlg(QWidget *parent = nullptr);
    ~frmLegendOptionsDlg() override;

    // The values the caller reads after the dialog closes.
    bool DialogOK = false;
    quint32 SymbolColor = 0;
    quint32 SymbolOutlineColor = 0;
    double SymbolSize = 1.0;
    bool IsHollow = false;
    qint16 SymbolStyle = 0;

    // Mode 0 markers, 1 lines, 2 fills: appends that list of styles; another mode adds nothing.
    void SetMode(qint16 m);
    // What the caller sets before showing: size text, hollow box, colours with their samples,
    // the chosen style.
    void setSizeText(const QString &text);
    void setHollow(bool hollow);
    void setColors(quint32 color, quint32 outline);
    void selectStyle(int code);

    // The colour chooser, replaceable in tests: (current colour) to the chosen one, or nothing
    // when cancelled.
    std::function<std::optional<quint32>(quint32)> chooseColor;
    // Where the refusal of a size that is not a number goes (a message box unless replaced).
    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    void OKButton_Click();
    void showColor(QLabel *sample, quint32 color);
    void keepHollowAndStyleAgreed();

    qint16 m_mode = -1;
    MessageService *m_messages = nullptr;
    std::unique_ptr<MessageService> m_ownMessages;
    QLineEdit *SizeText = nullptr;
    QCheckBox *HollowCheck = nullptr;
    QComboBox *cmbStyle = nullptr;
    QLabel *lblColor = nullptr;
    QLabel *lblOutlineColor = nullptr;
};
