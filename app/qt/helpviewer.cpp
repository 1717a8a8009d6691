#include "app/qt/helpviewer.h"

#include "data/textfile.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include <chm_lib.h>

namespace velta {

namespace {

std::uint32_t le32(const QByteArray& b, int at) {
    if (at < 0 || at + 4 > b.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t le16(const QByteArray& b, int at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return std::uint16_t(p[0] | (p[1] << 8));
}

// Text of a page or a string of the archive: Windows-1251 when the page says so (the code
// page of Russian help files) or when it is not valid UTF-8, UTF-8 otherwise.
QString decodeText(const QByteArray& bytes) {
    const QByteArray head = bytes.left(1024).toLower();
    const auto cp1251 = [&] { return QString::fromStdString(cp1251ToUtf8(bytes.toStdString())); };
    if (head.contains("charset=windows-1251") || head.contains("charset=cp1251")) return cp1251();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? cp1251() : text;
}

QString zeroTerminated(const QByteArray& b, int at) {
    if (at < 0 || at >= b.size()) return {};
    const int end = b.indexOf('\0', at);
    return QString::fromStdString(cp1251ToUtf8(b.mid(at, end < 0 ? -1 : end - at).toStdString()));
}

QString archivePath(QString name) {
    name.replace('\\', '/');
    return name.startsWith('/') ? name : "/" + name;
}

QString withoutAnchor(const QString& page) { return page.section('#', 0, 0); }

QString decodeEntities(QString s) {
    if (!s.contains('&')) return s;
    static const QRegularExpression entity("&(#x[0-9a-fA-F]+|#[0-9]+|amp|lt|gt|quot|apos|nbsp);");
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        out += s.mid(last, m.capturedStart() - last);
        const QString e = m.captured(1);
        if (e.startsWith("#x")) out += QChar(char16_t(e.mid(2).toUInt(nullptr, 16)));
        else if (e.startsWith('#')) out += QChar(char16_t(e.mid(1).toUInt()));
        else if (e == "amp") out += '&';
        else if (e == "lt") out += '<';
        else if (e == "gt") out += '>';
        else if (e == "quot") out += '"';
        else if (e == "apos") out += '\'';
        else out += QChar(0xA0);
        last = m.capturedEnd();
    }
    return out + s.mid(last);
}

QString pageTitle(const QString& html, const QString& path) {
    static const QRegularExpression title(
        "<title[^>]*>(.*?)</title>",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression h1(
        "<h1[^>]*>(.*?)</h1>",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    for (const auto* re : {&title, &h1}) {
        const auto m = re->match(html);
        if (m.hasMatch()) {
            const QString t = QTextDocumentFragment::fromHtml(m.captured(1)).toPlainText().simplified();
            if (!t.isEmpty()) return t;
        }
    }
    return path.mid(1);
}

// A browser whose pages come out of the archive ("chm:/page.htm").
class ChmBrowser : public QTextBrowser {
public:
    explicit ChmBrowser(QWidget* parent) : QTextBrowser(parent) {}
    const ChmArchive* chm = nullptr;

    QVariant loadResource(int type, const QUrl& url) override {
        if (url.scheme() != "chm" || !chm) return QTextBrowser::loadResource(type, url);
        QByteArray data;
        if (!chm->read(url.path(), data)) return {};
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return decodeText(data);
        return data;
    }
};

int collectObject(chmFile*, chmUnitInfo* ui, void* context) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(ui->path));
    return CHM_ENUMERATOR_CONTINUE;
}

const SitemapEntry* findEntry(const QList<SitemapEntry>& list,
                              const std::function<bool(const SitemapEntry&)>& f) {
    for (const SitemapEntry& e : list) {
        if (f(e)) return &e;
        if (const SitemapEntry* c = findEntry(e.children, f)) return c;
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- the archive

ChmArchive::ChmArchive(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    handle_ = chm_open(local.constData());
    if (handle_) readSystem();
}

ChmArchive::~ChmArchive() {
    if (handle_) chm_close(handle_);
}

bool ChmArchive::read(const QString& objectPath, QByteArray& out) const {
    if (!handle_) return false;
    chmUnitInfo ui{};
    const QByteArray name = objectPath.toUtf8();
    if (chm_resolve_object(handle_, name.constData(), &ui) != CHM_RESOLVE_SUCCESS) return false;
    out.resize(static_cast<qsizetype>(ui.length));
    if (ui.length == 0) return true;
    const auto got = chm_retrieve_object(handle_, &ui, reinterpret_cast<unsigned char*>(out.data()), 0,
                                         static_cast<LONGINT64>(ui.length));
    return got == static_cast<LONGINT64>(ui.length);
}

bool ChmArchive::contains(const QString& objectPath) const {
    if (!handle_) return false;
    chmUnitInfo ui{};
    return chm_resolve_object(handle_, objectPath.toUtf8().constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

QStringList ChmArchive::pages() const {
    QStringList all, out;
    if (handle_) chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectObject, &all);
    for (const QString& p : all)
        if (p.endsWith(".htm", Qt::CaseInsensitive) || p.endsWith(".html", Qt::CaseInsensitive)) out << p;
    out.sort();
    return out;
}

// #SYSTEM: a version word, then records (code, length, data); code 0 is the contents
// file, 1 the index file, 2 the default topic and 3 the title.
void ChmArchive::readSystem() {
    QByteArray sys;
    if (read("/#SYSTEM", sys)) {
        int at = 4;
        while (at + 4 <= sys.size()) {
            const int code = le16(sys, at), len = le16(sys, at + 2);
            const int data = at + 4;
            if (data + len > sys.size()) break;
            const QString value = len > 0 ? zeroTerminated(sys.left(data + len), data) : QString();
            if (code == 0 && !value.isEmpty()) contentsFile_ = archivePath(value);
            if (code == 1 && !value.isEmpty()) indexFile_ = archivePath(value);
            if (code == 2 && !value.isEmpty()) defaultPage_ = archivePath(value);
            if (code == 3) title_ = value;
            at = data + len;
        }
    }
    // Files compiled without these records: the first .hhc and .hhk of the archive.
    if (contentsFile_.isEmpty() || !contains(contentsFile_) || indexFile_.isEmpty() ||
        !contains(indexFile_)) {
        QStringList all;
        chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectObject, &all);
        if (!contains(contentsFile_)) contentsFile_.clear();
        if (!contains(indexFile_)) indexFile_.clear();
        for (const QString& p : all) {
            if (contentsFile_.isEmpty() && p.endsWith(".hhc", Qt::CaseInsensitive)) contentsFile_ = p;
            if (indexFile_.isEmpty() && p.endsWith(".hhk", Qt::CaseInsensitive)) indexFile_ = p;
        }
    }
}

QString ChmArchive::tableEntry(const QString& key) const {
    // The plain table written beside the pages by the help build: "1001=varpar.htm".
    QByteArray table;
    if (!read("/velta_topics.txt", table)) return {};
    for (const QByteArray& line : table.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0 && QString::fromUtf8(line.left(eq).trimmed()) == key) {
            const QString page = archivePath(QString::fromUtf8(line.mid(eq + 1).trimmed()));
            if (contains(withoutAnchor(page))) return page;
        }
    }
    return {};
}

QString ChmArchive::topicPage(int topic) const {
    // #IVB: a byte count, then pairs (context number, offset of the page name in #STRINGS).
    QByteArray ivb, strings;
    if (read("/#IVB", ivb) && read("/#STRINGS", strings)) {
        const int count = static_cast<int>(std::min<std::uint32_t>(le32(ivb, 0), ivb.size() - 4)) / 8;
        for (int i = 0; i < count; ++i) {
            if (static_cast<int>(le32(ivb, 4 + 8 * i)) != topic) continue;
            const QString name = zeroTerminated(strings, static_cast<int>(le32(ivb, 8 + 8 * i)));
            if (contains(archivePath(name))) return archivePath(name);
            // Some compilers store the page with the folder it was compiled in.
            const QString bare = archivePath(name.section('/', -1).section('\\', -1));
            if (contains(bare)) return bare;
        }
    }
    return tableEntry(QString::number(topic));
}

QString ChmArchive::sectionPage(int section) const {
    if (section <= 0) return {};
    // "s11=sec_11.htm" in the table of the help build, else the page of that name.
    QString page = tableEntry("s" + QString::number(section));
    if (page.isEmpty() && contains("/sec_" + QString::number(section) + ".htm"))
        page = "/sec_" + QString::number(section) + ".htm";
    return page;
}

QString ChmArchive::examplesPage() const {
    QString page = tableEntry("examples");
    if (page.isEmpty() && contains("/examples.htm")) page = "/examples.htm";
    QByteArray hhc;
    if (page.isEmpty() && !contentsFile_.isEmpty() && read(contentsFile_, hhc)) {
        const QList<SitemapEntry> toc = parseSitemap(decodeText(hhc));
        const SitemapEntry* e = findEntry(toc, [](const SitemapEntry& x) {
            return x.name.startsWith("Примеры", Qt::CaseInsensitive) && !x.pages.isEmpty();
        });
        if (e) page = e->pages.first();
    }
    return page;
}

// ---------------------------------------------------------------- contents and index files

QString archiveLink(QString link) {
    link = link.trimmed();
    const int store = link.indexOf("::");
    if (store >= 0) link = link.mid(store + 2);  // "ms-its:Help3.chm::/page.htm"
    return archivePath(link);
}

// The <object type="text/sitemap"> entries of a contents or index file, nested as its
// <ul> lists; the parameters "Name" and "Local" give an entry's name and pages (an index
// entry names each further page before it: Name, Local, Name, Local …).
QList<SitemapEntry> parseSitemap(const QString& html) {
    static const QRegularExpression tag("<\\s*(/?)\\s*(ul|object|param)\\b([^>]*)>",
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attr("(\\w+)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))");
    QList<SitemapEntry> top;
    std::vector<QList<SitemapEntry>*> lists{&top};
    std::vector<int> pushed;  // 1 for a <ul> that opened a level, 0 for a stray one
    SitemapEntry entry;
    bool inEntry = false;
    QStringList names;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        QHash<QString, QString> attrs;
        for (auto a = attr.globalMatch(m.captured(3)); a.hasNext();) {
            const auto am = a.next();
            const QString v = !am.captured(2).isNull()   ? am.captured(2)
                              : !am.captured(3).isNull() ? am.captured(3)
                                                         : am.captured(4);
            attrs.insert(am.captured(1).toLower(), decodeEntities(v));
        }
        if (name == "ul" && !closing) {
            QList<SitemapEntry>* cur = lists.back();
            const bool level = !cur->isEmpty();
            if (level) lists.push_back(&cur->last().children);
            pushed.push_back(level ? 1 : 0);
        } else if (name == "ul") {
            if (!pushed.empty()) {
                if (pushed.back() && lists.size() > 1) lists.pop_back();
                pushed.pop_back();
            }
        } else if (name == "object" && !closing) {
            inEntry = attrs.value("type").compare("text/sitemap", Qt::CaseInsensitive) == 0;
            entry = SitemapEntry{};
            names.clear();
        } else if (name == "object") {
            if (inEntry && !names.isEmpty()) {
                entry.name = names.first();
                // Names after the first title the pages that follow them.
                for (int i = 0; i < entry.pages.size(); ++i)
                    entry.titles << (i + 1 < names.size() ? names[i + 1] : QString());
                lists.back()->append(entry);
            }
            inEntry = false;
        } else if (name == "param" && inEntry) {
            const QString key = attrs.value("name").toLower();
            const QString value = attrs.value("value");
            if (key == "name") names << value.simplified();
            else if (key == "local" && !value.trimmed().isEmpty()) entry.pages << archiveLink(value);
        }
    }
    return top;
}

// ---------------------------------------------------------------- full-text search

QStringList HelpSearch::words(const QString& text) {
    QStringList out;
    QString cur;
    for (QChar c : text) {
        if (c.isLetterOrNumber() || c == '_') {
            if (c == QChar(0x0451) || c == QChar(0x0401)) c = QChar(0x0435);  // ё, Ё -> е
            cur += c.toLower();
        } else if (!cur.isEmpty()) {
            out << cur;
            cur.clear();
        }
    }
    if (!cur.isEmpty()) out << cur;
    return out;
}

void HelpSearch::build(const ChmArchive& chm) {
    pages_.clear();
    words_.clear();
    for (const QString& path : chm.pages()) {
        QByteArray bytes;
        if (!chm.read(path, bytes)) continue;
        const QString html = decodeText(bytes);
        const int n = static_cast<int>(pages_.size());
        pages_.append({path, pageTitle(html, path)});
        for (const QString& w : words(QTextDocumentFragment::fromHtml(html).toPlainText())) ++words_[w][n];
    }
}

QString HelpSearch::title(const QString& page) const {
    const QString path = withoutAnchor(page);
    for (const Page& p : pages_)
        if (p.path.compare(path, Qt::CaseInsensitive) == 0) return p.title;
    return path.mid(1);
}

// A Russian word without its inflectional ending, so that the prefix search finds every
// form: "сечение" -> "сечен" (сечения, сечении), "запаздывание" -> "запаздыван".
QString HelpSearch::stem(const QString& word) {
    static const char* const endings[] = {
        "иями", "ями", "ами", "ого", "его", "ому", "ему", "ыми", "ими", "ией", "иям", "иях",
        "ием",  "ая",  "яя",  "ое",  "ее",  "ые",  "ие",  "ой",  "ей",  "ий",  "ый",  "ую",
        "юю",   "ом",  "ем",  "ам",  "ям",  "ах",  "ях",  "ов",  "ев",  "ию",  "ия",  "ии",
        "ью",   "а",   "я",   "о",   "е",   "ы",   "и",   "у",   "ю",   "ь",   "й"};
    const bool cyrillic = std::any_of(word.begin(), word.end(),
                                      [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() < 0x0500; });
    if (!cyrillic) return word;
    for (const char* e : endings) {
        const QString end = QString::fromUtf8(e);
        if (word.size() - end.size() >= 4 && word.endsWith(end)) return word.left(word.size() - end.size());
    }
    return word;
}

QList<HelpSearch::Hit> HelpSearch::find(const QString& query) const {
    QStringList terms = words(query);
    for (QString& t : terms) t = stem(t);
    if (terms.isEmpty()) return {};
    QHash<int, int> found;
    for (int t = 0; t < terms.size(); ++t) {
        QHash<int, int> hits;
        for (auto it = words_.lowerBound(terms[t]); it != words_.end() && it.key().startsWith(terms[t]); ++it)
            for (auto p = it.value().begin(); p != it.value().end(); ++p) hits[p.key()] += p.value();
        if (t == 0) {
            found = hits;
        } else {
            for (auto it = found.begin(); it != found.end();) {
                if (!hits.contains(it.key())) {
                    it = found.erase(it);
                } else {
                    it.value() += hits.value(it.key());
                    ++it;
                }
            }
        }
    }
    QList<Hit> out;
    for (auto it = found.begin(); it != found.end(); ++it) {
        const Page& p = pages_[it.key()];
        int score = it.value();
        // A word of the title weighs as much as ten in the text.
        const QStringList titleWords = words(p.title);
        for (const QString& t : terms)
            if (std::any_of(titleWords.begin(), titleWords.end(),
                            [&](const QString& w) { return w.startsWith(t); }))
                score += 10;
        out.append({p.path, p.title, score});
    }
    std::sort(out.begin(), out.end(), [](const Hit& a, const Hit& b) {
        return a.score != b.score ? a.score > b.score : a.title.localeAwareCompare(b.title) < 0;
    });
    return out;
}

// ---------------------------------------------------------------- the viewer window

HelpViewer::HelpViewer() : QWidget(nullptr) {
    setObjectName("HelpViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(980, 660);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    auto* bar = new QToolBar(this);
    auto* browser = new ChmBrowser(this);
    browser_ = browser;
    browser_->setObjectName("helpBrowser");
    browser_->setOpenLinks(false);
    QAction* back = bar->addAction("Назад", browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction("Вперёд", browser_, &QTextBrowser::forward);
    bar->addAction("Начало", this, [this] {
        if (chm_ && chm_->isOpen()) showPage(chm_->defaultPage());
    });
    back->setObjectName("helpBack");
    forward->setObjectName("helpForward");
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    // Pages of the archive open here; other addresses go to the desktop's browser.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == "chm") browser_->setSource(url);
        else QDesktopServices::openUrl(url);
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        if (url.scheme() == "chm") syncContents(url.path());
    });

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("helpTabs");

    contents_ = new QTreeWidget(tabs_);
    contents_->setObjectName("helpContents");
    contents_->setHeaderHidden(true);
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, Qt::UserRole).toString();
        if (!page.isEmpty()) showPage(page);
        else item->setExpanded(!item->isExpanded());
    });
    connect(contents_, &QTreeWidget::itemActivated, contents_, &QTreeWidget::itemClicked);
    tabs_->addTab(contents_, "Содержание");

    auto* indexTab = new QWidget(tabs_);
    auto* indexBox = new QVBoxLayout(indexTab);
    indexBox->setContentsMargins(4, 4, 4, 4);
    indexBox->addWidget(new QLabel("Введите ключевое слово:", indexTab));
    indexFilter_ = new QLineEdit(indexTab);
    indexFilter_->setObjectName("helpIndexFilter");
    indexFilter_->setClearButtonEnabled(true);
    index_ = new QTreeWidget(indexTab);
    index_->setObjectName("helpIndex");
    index_->setHeaderHidden(true);
    indexBox->addWidget(indexFilter_);
    indexBox->addWidget(index_);
    connect(indexFilter_, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(indexFilter_, &QLineEdit::returnPressed, this, [this] {
        if (QTreeWidgetItem* item = index_->currentItem()) emit index_->itemActivated(item, 0);
    });
    connect(index_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, Qt::UserRole).toString();
        if (!page.isEmpty()) showPage(page);
        if (item->childCount() > 0) item->setExpanded(true);
    });
    connect(index_, &QTreeWidget::itemClicked, index_, &QTreeWidget::itemActivated);
    tabs_->addTab(indexTab, "Указатель");

    auto* searchTab = new QWidget(tabs_);
    auto* searchBox = new QVBoxLayout(searchTab);
    searchBox->setContentsMargins(4, 4, 4, 4);
    searchBox->addWidget(new QLabel("Слова для поиска:", searchTab));
    auto* searchRow = new QHBoxLayout;
    searchText_ = new QLineEdit(searchTab);
    searchText_->setObjectName("helpSearchText");
    searchText_->setClearButtonEnabled(true);
    auto* go = new QPushButton("Найти", searchTab);
    go->setObjectName("helpSearchGo");
    searchRow->addWidget(searchText_, 1);
    searchRow->addWidget(go);
    searchBox->addLayout(searchRow);
    searchHits_ = new QListWidget(searchTab);
    searchHits_->setObjectName("helpSearchHits");
    searchBox->addWidget(searchHits_);
    const auto runSearch = [this] { search(searchText_->text()); };
    connect(go, &QPushButton::clicked, this, runSearch);
    connect(searchText_, &QLineEdit::returnPressed, this, runSearch);
    connect(searchHits_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString words = pendingFind_;
        showPage(item->data(Qt::UserRole).toString());
        // Mark the first word of the search on the page.
        const QStringList w = HelpSearch::words(words);
        if (!w.isEmpty()) browser_->find(w.first());
    });
    connect(searchHits_, &QListWidget::itemClicked, searchHits_, &QListWidget::itemActivated);
    tabs_->addTab(searchTab, "Поиск");

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(tabs_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({320, 660});
    box->addWidget(bar);
    box->addWidget(split, 1);
    static std::int32_t serial = 0;
    handle_ = ++serial;
}

HelpViewer::~HelpViewer() {
    // The browser refers to the archive: take it away before the archive goes.
    static_cast<ChmBrowser*>(browser_)->chm = nullptr;
}

HelpViewer* HelpViewer::current() { return instance_.data(); }

std::int32_t HelpViewer::open(const QString& chmPath, int topic, int section) {
    if (!instance_) instance_ = new HelpViewer();
    instance_->load(chmPath, topic, section);
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_->handle_;
}

std::int32_t HelpViewer::openExamples(const QString& chmPath) {
    if (!QFileInfo::exists(chmPath)) return 0;
    {
        ChmArchive probe(chmPath);
        if (probe.examplesPage().isEmpty()) return 0;
    }
    if (!instance_) instance_ = new HelpViewer();
    if (!instance_->openArchive(chmPath)) return 0;
    instance_->showPage(instance_->chm_->examplesPage());
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_->handle_;
}

std::int32_t HelpViewer::openDocument(const QString& title, const QString& html) {
    if (!instance_) instance_ = new HelpViewer();
    instance_->setWindowTitle(title);
    instance_->browser_->setSource(QUrl());
    instance_->browser_->setHtml(html);
    instance_->contents_->clearSelection();
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_->handle_;
}

std::int32_t HelpViewer::closeAll() {
    if (instance_) {
        instance_->close();
        delete instance_.data();  // also when it was never shown
    }
    return 0;
}

void HelpViewer::showMessage(const QString& text) {
    setWindowTitle("Справка");
    browser_->clearHistory();
    browser_->setSource(QUrl());
    browser_->setPlainText(text);
}

// Opens the archive (once: the same unchanged file is kept with its panes and its
// search index); a missing or unreadable file is reported in the viewer.
bool HelpViewer::openArchive(const QString& chmPath) {
    auto* browser = static_cast<ChmBrowser*>(browser_);
    const QFileInfo fi(chmPath);
    const qint64 stamp = fi.exists() ? fi.lastModified().toMSecsSinceEpoch() ^ (fi.size() << 20) : 0;
    if (chm_ && chmPath_ == fi.absoluteFilePath() && chmStamp_ == stamp) {
        setWindowTitle(chm_->title().isEmpty() ? QStringLiteral("Справка") : chm_->title());
        return true;
    }
    auto chm = fi.exists() ? std::make_unique<ChmArchive>(chmPath) : nullptr;
    if (!chm || !chm->isOpen()) {
        browser->chm = nullptr;
        chm_.reset();
        chmPath_.clear();
        search_ = HelpSearch();
        contents_->clear();
        index_->clear();
        searchHits_->clear();
        showMessage("Файл справки " + QDir::toNativeSeparators(chmPath) +
                    (chm ? " не удаётся прочитать." : " не найден."));
        return false;
    }
    browser->chm = chm.get();
    chm_ = std::move(chm);
    chmPath_ = fi.absoluteFilePath();
    chmStamp_ = stamp;
    setWindowTitle(chm_->title().isEmpty() ? QStringLiteral("Справка") : chm_->title());
    browser_->clearHistory();
    search_.build(*chm_);
    fillContents();
    fillIndex();
    searchHits_->clear();
    return true;
}

void HelpViewer::load(const QString& chmPath, int topic, int section) {
    if (!openArchive(chmPath)) return;
    QString page = topic == 0 ? chm_->defaultPage() : QString();
    if (topic == 1002) page = chm_->sectionPage(section);
    if (page.isEmpty() && topic != 0) page = chm_->topicPage(topic);
    if (page.isEmpty()) {
        showMessage("Раздел справки " + QString::number(topic) + " не найден в файле " +
                    QDir::toNativeSeparators(chmPath) + ".");
        return;
    }
    showPage(page);
}

void HelpViewer::showPage(const QString& page) {
    if (!chm_) return;
    browser_->setSource(QUrl("chm:" + page));
}

void HelpViewer::fillContents() {
    contents_->clear();
    QByteArray hhc;
    if (chm_->contentsFile().isEmpty() || !chm_->read(chm_->contentsFile(), hhc)) return;
    const std::function<void(const QList<SitemapEntry>&, QTreeWidgetItem*)> add =
        [&](const QList<SitemapEntry>& list, QTreeWidgetItem* parent) {
            for (const SitemapEntry& e : list) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
                item->setText(0, e.name);
                if (!e.pages.isEmpty()) item->setData(0, Qt::UserRole, e.pages.first());
                add(e.children, item);
            }
        };
    add(parseSitemap(decodeText(hhc)), nullptr);
    for (int i = 0; i < contents_->topLevelItemCount(); ++i) contents_->topLevelItem(i)->setExpanded(true);
}

void HelpViewer::fillIndex() {
    index_->clear();
    indexFilter_->clear();
    QByteArray hhk;
    if (chm_->indexFile().isEmpty() || !chm_->read(chm_->indexFile(), hhk)) return;
    const std::function<void(const QList<SitemapEntry>&, QTreeWidgetItem*)> add =
        [&](const QList<SitemapEntry>& list, QTreeWidgetItem* parent) {
            for (const SitemapEntry& e : list) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(index_);
                item->setText(0, e.name);
                if (e.pages.size() == 1) {
                    item->setData(0, Qt::UserRole, e.pages.first());
                } else {
                    // A keyword of several pages lists them by title.
                    for (int i = 0; i < e.pages.size(); ++i) {
                        auto* sub = new QTreeWidgetItem(item);
                        const QString t = e.titles.value(i);
                        sub->setText(0, t.isEmpty() || t == e.name ? search_.title(e.pages[i]) : t);
                        sub->setData(0, Qt::UserRole, e.pages[i]);
                    }
                }
                add(e.children, item);
            }
        };
    add(parseSitemap(decodeText(hhk)), nullptr);
}

// Keeps the keywords holding the typed text and selects the first one it begins.
void HelpViewer::filterIndex(const QString& text) {
    const QString want = text.trimmed();
    QTreeWidgetItem* first = nullptr;
    QTreeWidgetItem* begins = nullptr;
    for (int i = 0; i < index_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = index_->topLevelItem(i);
        const bool keep = want.isEmpty() || item->text(0).contains(want, Qt::CaseInsensitive);
        item->setHidden(!keep);
        if (!keep) continue;
        if (!first) first = item;
        if (!begins && item->text(0).startsWith(want, Qt::CaseInsensitive)) begins = item;
    }
    if (QTreeWidgetItem* pick = begins ? begins : first) {
        index_->setCurrentItem(pick);
        index_->scrollToItem(pick);
    }
}

QStringList HelpViewer::search(const QString& query) {
    tabs_->setCurrentIndex(2);
    if (searchText_->text() != query) searchText_->setText(query);
    pendingFind_ = query;
    searchHits_->clear();
    QStringList pages;
    const QList<HelpSearch::Hit> hits = search_.find(query);
    for (const HelpSearch::Hit& h : hits) {
        auto* item = new QListWidgetItem(h.title, searchHits_);
        item->setData(Qt::UserRole, h.page);
        item->setToolTip(h.page.mid(1));
        pages << h.page;
    }
    if (hits.isEmpty() && !HelpSearch::words(query).isEmpty())
        new QListWidgetItem("Ничего не найдено", searchHits_);
    return pages;
}

// Marks the contents entry of the page shown.
void HelpViewer::syncContents(const QString& page) {
    const QString path = withoutAnchor(page);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if (withoutAnchor((*it)->data(0, Qt::UserRole).toString()).compare(path, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker block(contents_);
            contents_->setCurrentItem(*it);
            contents_->scrollToItem(*it);
            return;
        }
    }
    contents_->clearSelection();
}

QString HelpViewer::currentPage() const {
    const QUrl src = browser_->source();
    return src.scheme() == "chm" ? src.path() : QString();
}

QString HelpViewer::pageText() const { return browser_->toPlainText(); }

}  // namespace velta
