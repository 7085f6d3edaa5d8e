#include "gui/app/web_browser.h"

using namespace Qt::StringLiterals;

WebBrowser::~WebBrowser() = default;

QUrl webHomePage()
{
    return QUrl(u"qrc:/tractwise/web/home.html"_s);
}

QUrl webSearchPage()
{
    return QUrl(u"qrc:/tractwise/web/search.html"_s);
}
