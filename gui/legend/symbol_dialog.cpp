#include "gui/legend/symbol_dialog.h"

#include "core/common/number_text.h"
#include "core/engine/symbol.h"
#include "gui/common/qt_message_service.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QStringList markerStyles = {u"Circle"_s, u"Square"_s, u"Triangle"_s, u"Cross"_s,
                                  u"TrueType"_s};
const QStringList lineStyles = {u"Solid Line"_s, u"Dash Line"_s, u"Dot Line"_s, u"Dash Dot Line"_s,
                                u"Dash Dot Dot Line"_s};
const QStringList fillStyles = {u"Solid"_s,     u"Transparent"_s,     u"Horizontal"_s,
                                u"Vertical"_s,  u"Upward Diagonal"_s, u"Downward Diagonal"_s,
                                u"Cross"_s,     u"Diagonal Cross"_s,  u"Light Gray Fill"_s,
                                u"Gray Fill"_s, u"Dark Gray Fill"_s};

} // namespace

frmLegendOptionsDlg::frmLegendOptionsDlg(QWidget *parent)
    : QDialog(parent)
    , m_ownMessages(std::make_unique<QtMessageService>(this))
{
    setObjectName(u"frmLegendOptionsDlg"_s);
    setWindowTitle(u"Theme Symbol"_s);
    m_messages = m_ownMessages.get();
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"Thickness/Size:"_s), 0, 0);
    SizeText = new QLineEdit;
    SizeText->setObjectName(u"SizeText"_s);
    grid->addWidget(SizeText, 0, 1);
    HollowCheck = new QCheckBox(u"Hollow?"_s);
    HollowCheck->setObjectName(u"HollowCheck"_s);
    grid->addWidget(HollowCheck, 0, 2, 1, 2);
    auto *ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"OKButton"_s);
    ok->setDefault(true);
    grid->addWidget(ok, 0, 4);

    auto *colorButton = new QPushButton(u"Choose Color:"_s);
    colorButton->setObjectName(u"cmdColor"_s);
    grid->addWidget(colorButton, 1, 0);
    lblColor = new QLabel;
    lblColor->setObjectName(u"lblColor"_s);
    lblColor->setMinimumWidth(60);
    lblColor->setAutoFillBackground(true);
    grid->addWidget(lblColor, 1, 1);
    grid->addWidget(new QLabel(u"Style:"_s), 1, 2);
    cmbStyle = new QComboBox;
    cmbStyle->setObjectName(u"cmbStyle"_s);
    grid->addWidget(cmbStyle, 1, 3);
    auto *cancel = new QPushButton(u"Cancel"_s);
    cancel->setObjectName(u"CancelButton"_s);
    grid->addWidget(cancel, 1, 4);

    auto *outlineButton = new QPushButton(u"Outline Color:"_s);
    outlineButton->setObjectName(u"cmdOutlineColor"_s);
    grid->addWidget(outlineButton, 2, 0);
    lblOutlineColor = new QLabel;
    lblOutlineColor->setObjectName(u"lblOutlineColor"_s);
    lblOutlineColor->setAutoFillBackground(true);
    grid->addWidget(lblOutlineColor, 2, 1);

    chooseColor = [this](quint32 current) -> std::optional<quint32> {
        const QColor c = QColorDialog::getColor(colorFromRgb(current), this);
        if (!c.isValid())
            return std::nullopt;
        return rgbFromColor(c);
    };
    connect(colorButton, &QPushButton::clicked, this, [this] {
        if (const auto c = chooseColor(SymbolColor)) {
            SymbolColor = *c;
            showColor(lblColor, SymbolColor);
        }
    });
    connect(outlineButton, &QPushButton::clicked, this, [this] {
        if (const auto c = chooseColor(SymbolOutlineColor)) {
            SymbolOutlineColor = *c;
            showColor(lblOutlineColor, SymbolOutlineColor);
        }
    });
    connect(ok, &QPushButton::clicked, this, &frmLegendOptionsDlg::OKButton_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    keepHollowAndStyleAgreed();
}

frmLegendOptionsDlg::~frmLegendOptionsDlg() = default;

void frmLegendOptionsDlg::showColor(QLabel *sample, quint32 color)
{
    QPalette p = sample->palette();
    p.setColor(QPalette::Window, colorFromRgb(color));
    sample->setPalette(p);
}

void frmLegendOptionsDlg::SetMode(qint16 m)
{
    m_mode = m;
    const QStringList *list = m == 0   ? &markerStyles
                              : m == 1 ? &lineStyles
                              : m == 2 ? &fillStyles
                                       : nullptr;
    if (list)
        cmbStyle->addItems(*list);
    // Hollow is a fill's Transparent style by another name: markers and lines have no fill.
    HollowCheck->setEnabled(m == 2);
    if (m != 2)
        HollowCheck->setChecked(false);
}

void frmLegendOptionsDlg::keepHollowAndStyleAgreed()
{
    constexpr int transparent = int(FillStyle::Transparent), solid = int(FillStyle::Solid);
    connect(HollowCheck, &QCheckBox::toggled, this, [this](bool hollow) {
        if (m_mode != 2)
            return;
        if (hollow)
            cmbStyle->setCurrentIndex(transparent);
        else if (cmbStyle->currentIndex() == transparent)
            cmbStyle->setCurrentIndex(solid);
    });
    connect(cmbStyle, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_mode == 2)
            HollowCheck->setChecked(index == transparent);
    });
}

void frmLegendOptionsDlg::setSizeText(const QString &text)
{
    SizeText->setText(text);
}

void frmLegendOptionsDlg::setHollow(bool hollow)
{
    HollowCheck->setChecked(hollow);
}

void frmLegendOptionsDlg::setColors(quint32 color, quint32 outline)
{
    SymbolColor = color;
    SymbolOutlineColor = outline;
    showColor(lblColor, color);
    showColor(lblOutlineColor, outline);
}

void frmLegendOptionsDlg::selectStyle(int code)
{
    cmbStyle->setCurrentIndex(code >= 0 && code < cmbStyle->count() ? code : -1);
}

void frmLegendOptionsDlg::OKButton_Click()
{
    const auto size = parseNumber(SizeText->text());
    if (!size || *size < 0) {
        // Refused: the dialog stays open for a size that is a number.
        m_messages->show(u"Enter the thickness or size as a number."_s, MessageIcon::Exclamation);
        return;
    }
    // A project keeps the size as a 32-bit number; a larger one could not be read back.
    if (*size > 2147483647.0) {
        m_messages->show(u"The thickness or size must not be more than 2147483647."_s,
                         MessageIcon::Exclamation);
        return;
    }
    DialogOK = true;
    SymbolSize = *size;
    IsHollow = HollowCheck->isChecked();
    SymbolStyle = qint16(cmbStyle->currentIndex());
    accept();
}
