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

frmQuery::frmQuery(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"frmQuery"_s);
    setWindowTitle(u"Locate in Theme"_s);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"Fields"_s), 0, 0);
    grid->addWidget(new QLabel(u"Values"_s), 0, 1);
    FieldList = new QListWidget;
    FieldList->setObjectName(u"FieldList"_s);
    ValuesList = new QListWidget;
    ValuesList->setObjectName(u"ValuesList"_s);
    grid->addWidget(FieldList, 1, 0);
    grid->addWidget(ValuesList, 1, 1);
    grid->addWidget(new QLabel(u"Query String"_s), 2, 0, 1, 2);
    QueryText = new QLineEdit;
    QueryText->setObjectName(u"QueryText"_s);
    grid->addWidget(QueryText, 3, 0, 1, 2);
    auto *equal = new QPushButton(u"="_s);
    equal->setObjectName(u"EqualCommand"_s);
    auto *newSet = new QPushButton(u"New Set"_s);
    newSet->setObjectName(u"NewSetB"_s);
    auto *addSet = new QPushButton(u"Add To Set"_s);
    addSet->setObjectName(u"AddSetB"_s);
    auto *fromSet = new QPushButton(u"Select From Set"_s);
    fromSet->setObjectName(u"SelectFromSetB"_s);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {equal, newSet, addSet, fromSet})
        buttons->addWidget(b);
    grid->addLayout(buttons, 4, 0, 1, 2);
    MatchLabel = new QLabel;
    MatchLabel->setObjectName(u"MatchLabel"_s);
    ZoomToSet = new QPushButton(u"Zoom to Matches"_s);
    ZoomToSet->setObjectName(u"ZoomToSet"_s);
    ZoomToSet->setEnabled(false);
    auto *result = new QHBoxLayout;
    result->addWidget(MatchLabel, 1);
    result->addWidget(ZoomToSet);
    grid->addLayout(result, 5, 0, 1, 2);
    connect(ZoomToSet, &QPushButton::clicked, this, &frmQuery::ZoomToSet_Click);

    connect(FieldList, &QListWidget::itemClicked, this, &frmQuery::FieldList_Click);
    connect(FieldList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QueryText->setText(QueryText->text() + u' ' + item->text());
    });
    connect(ValuesList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QueryText->setText(QueryText->text() + u' ' + item->text());
    });
    connect(equal, &QPushButton::clicked, this,
            [this] { QueryText->setText(QueryText->text() + u" = "_s); });
    connect(newSet, &QPushButton::clicked, this, &frmQuery::NewSetB_Click);
    resize(420, 360);
}

void frmQuery::SetLayer(std::shared_ptr<VectorLayer> layer)
{
    const bool changed = layer != m_layer;
    m_layer = std::move(layer);
    // Another theme while the window is open: its own fields, so no expression is built from
    // the fields of the theme before.
    if (changed && m_loaded) {
        ValuesList->clear();
        loadFields();
    }
}

void frmQuery::SetMap(Map *map)
{
    if (m_map == map)
        return;
    if (m_map)
        disconnect(m_map, nullptr, this, nullptr);
    m_map = map;
    if (m_map)
        connect(m_map, &QObject::destroyed, this, &frmQuery::Clear);
}

void frmQuery::Clear()
{
    m_layer.reset();
    m_map = nullptr;
    FieldList->clear();
    ValuesList->clear();
    QueryText->clear();
    MatchLabel->clear();
    ZoomToSet->setEnabled(false);
    m_matchExtent = MapRect::null();
}

void frmQuery::loadFields()
{
    FieldList->clear();
    if (m_layer) {
        for (const FieldInfo &f : m_layer->fields())
            FieldList->addItem(f.name);
    }
    m_loaded = true;
}

void frmQuery::showEvent(QShowEvent *event)
{
    // The field list is filled when the window opens; shown again while open it stays.
    if (!m_loaded)
        loadFields();
    QWidget::showEvent(event);
}

void frmQuery::closeEvent(QCloseEvent *event)
{
    m_loaded = false;
    QWidget::closeEvent(event);
}

void frmQuery::FieldList_Click()
{
    ValuesList->clear();
    QListWidgetItem *chosen = FieldList->currentItem();
    if (!m_layer || !chosen)
        return;
    const QString field = chosen->text();
    const int index = m_layer->fieldIndex(field);
    const bool text = index >= 0 && m_layer->fields().at(index).type == FieldType::Text;
    QStringList distinct;
    QSet<QString> seen;
    RecordSet all = m_layer->Records();
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
        ValuesList->addItem(u"Layer has no records"_s);
    else
        ValuesList->addItems(distinct);
}

void frmQuery::NewSetB_Click()
{
    if (!m_layer)
        return;
    m_layer->setTag(QueryText->text());
    if (m_map)
        m_map->refresh();
    // How many the set holds, and the way to them.
    const QString expression = QueryText->text();
    RecordSet matches = m_layer->SearchExpression(expression);
    const int n = matches.count();
    if (n == 0 && !m_layer->isValidExpression(expression))
        MatchLabel->setText(u"The query cannot be evaluated on "_s + m_layer->name() + u"."_s);
    else
        MatchLabel->setText(n == 1 ? u"1 feature matches."_s
                                   : QString::number(n) + u" features match."_s);
    m_matchExtent = MapRect::null();
    for (matches.moveFirst(); !matches.atEnd(); matches.moveNext())
        m_matchExtent = m_matchExtent.united(matches.shape().extent());
    ZoomToSet->setEnabled(n > 0 && m_map);
}

void frmQuery::ZoomToSet_Click()
{
    if (m_map && !m_matchExtent.isNull())
        m_map->setExtent(withMargin(m_matchExtent, 0.1));
}
