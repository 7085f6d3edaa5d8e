#include "gui/map/query_window.h"

#include "core/engine/vector_layer.h"
#include "gui/map/map.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>

using namespace Qt::StringLiterals;

QString expressionLiteral(const QVariant &value, bool textField)
{
    if (!textField)
        return value.toString();
    QString text = value.toString();
    text.replace(u'\'', u"''"_s);
    return u'\'' + text + u'\'';
}

QueryWindow::QueryWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"queryWindow"_s);
    setWindowTitle(u"Locate in Theme"_s);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"Fields"_s), 0, 0);
    grid->addWidget(new QLabel(u"Values"_s), 0, 1);
    m_fields = new QListWidget;
    m_fields->setObjectName(u"fields"_s);
    m_values = new QListWidget;
    m_values->setObjectName(u"values"_s);
    grid->addWidget(m_fields, 1, 0);
    grid->addWidget(m_values, 1, 1);
    grid->addWidget(new QLabel(u"Query String"_s), 2, 0, 1, 2);
    m_expression = new QLineEdit;
    m_expression->setObjectName(u"expression"_s);
    grid->addWidget(m_expression, 3, 0, 1, 2);
    auto *equal = new QPushButton(u"="_s);
    equal->setObjectName(u"equalButton"_s);
    auto *newSet = new QPushButton(u"New Set"_s);
    newSet->setObjectName(u"newSet"_s);
    auto *addSet = new QPushButton(u"Add To Set"_s);
    addSet->setObjectName(u"addToSet"_s);
    auto *fromSet = new QPushButton(u"Select From Set"_s);
    fromSet->setObjectName(u"selectFromSet"_s);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {equal, newSet, addSet, fromSet})
        buttons->addWidget(b);
    grid->addLayout(buttons, 4, 0, 1, 2);
    m_matchCount = new QLabel;
    m_matchCount->setObjectName(u"matchCount"_s);
    m_zoomToSet = new QPushButton(u"Zoom to Matches"_s);
    m_zoomToSet->setObjectName(u"zoomToSet"_s);
    m_zoomToSet->setEnabled(false);
    auto *result = new QHBoxLayout;
    result->addWidget(m_matchCount, 1);
    result->addWidget(m_zoomToSet);
    grid->addLayout(result, 5, 0, 1, 2);
    connect(m_zoomToSet, &QPushButton::clicked, this, &QueryWindow::zoomToSet);

    connect(m_fields, &QListWidget::itemClicked, this, &QueryWindow::showFieldValues);
    connect(m_fields, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_expression->setText(m_expression->text() + u' ' + item->text());
    });
    connect(m_values, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_expression->setText(m_expression->text() + u' ' + item->text());
    });
    connect(equal, &QPushButton::clicked, this,
            [this] { m_expression->setText(m_expression->text() + u" = "_s); });
    connect(newSet, &QPushButton::clicked, this, &QueryWindow::newSet);
    resize(420, 360);
}

void QueryWindow::setLayer(std::shared_ptr<VectorLayer> layer)
{
    const bool changed = layer != m_layer;
    m_layer = std::move(layer);
    // Another theme while the window is open: its own fields, so no expression is built from
    // the fields of the theme before.
    if (changed && m_loaded) {
        m_values->clear();
        loadFields();
    }
}

void QueryWindow::setMap(Map *map)
{
    if (m_map == map)
        return;
    if (m_map)
        disconnect(m_map, nullptr, this, nullptr);
    m_map = map;
    if (m_map)
        connect(m_map, &QObject::destroyed, this, &QueryWindow::clear);
}

void QueryWindow::clear()
{
    m_layer.reset();
    m_map = nullptr;
    m_fields->clear();
    m_values->clear();
    m_expression->clear();
    m_matchCount->clear();
    m_zoomToSet->setEnabled(false);
    m_matchExtent = MapRect::null();
}

void QueryWindow::loadFields()
{
    m_fields->clear();
    if (m_layer) {
        for (const FieldInfo &f : m_layer->fields())
            m_fields->addItem(f.name);
    }
    m_loaded = true;
}

void QueryWindow::showEvent(QShowEvent *event)
{
    // The field list is filled when the window opens; shown again while open it stays.
    if (!m_loaded)
        loadFields();
    QWidget::showEvent(event);
}

void QueryWindow::closeEvent(QCloseEvent *event)
{
    m_loaded = false;
    QWidget::closeEvent(event);
}

void QueryWindow::showFieldValues()
{
    m_values->clear();
    QListWidgetItem *chosen = m_fields->currentItem();
    if (!m_layer || !chosen)
        return;
    const QString field = chosen->text();
    const int index = m_layer->fieldIndex(field);
    const bool text = index >= 0 && m_layer->fields().at(index).type == FieldType::Text;
    QStringList distinct;
    QSet<QString> seen;
    RecordSet all = m_layer->records();
    for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
        const auto v = all.value(field);
        if (!v || !v->isValid()) // null values cannot be asked for with =
            continue;
        const QString key = v->toString();
        if (!seen.contains(key)) {
            seen.insert(key);
            distinct.append(expressionLiteral(*v, text));
        }
    }
    if (distinct.isEmpty())
        m_values->addItem(u"Layer has no records"_s);
    else
        m_values->addItems(distinct);
}

void QueryWindow::newSet()
{
    if (!m_layer)
        return;
    m_layer->setQueryExpression(m_expression->text());
    if (m_map)
        m_map->refresh();
    // How many the set holds, and the way to them.
    const QString expression = m_expression->text();
    RecordSet matches = m_layer->searchExpression(expression);
    const int n = matches.count();
    if (n == 0 && !m_layer->isValidExpression(expression))
        m_matchCount->setText(u"The query cannot be evaluated on "_s + m_layer->name() + u"."_s);
    else
        m_matchCount->setText(n == 1 ? u"1 feature matches."_s
                                     : QString::number(n) + u" features match."_s);
    m_matchExtent = MapRect::null();
    for (matches.moveFirst(); !matches.atEnd(); matches.moveNext())
        m_matchExtent = m_matchExtent.united(matches.shape().extent());
    m_zoomToSet->setEnabled(n > 0 && m_map);
}

void QueryWindow::zoomToSet()
{
    if (m_map && !m_matchExtent.isNull())
        m_map->setExtent(withMargin(m_matchExtent, 0.1));
}
