#include "app/qt/helpviewer.h"

#include "data/textfile.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

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

// Text of a page or a string of the archive: Windows-1251 when the page says so
// (the code page of Russian help files), UTF-8 otherwise.
QString decodeText(const QByteArray& bytes) {
    const QByteArray head = bytes.left(1024).toLower();
    if (head.contains("charset=windows-1251") || head.contains("charset=cp1251"))
        return QString::fromStdString(cp1251ToUtf8(bytes.toStdString()));
    return QString::fromUtf8(bytes);
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

} // namespace

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

// #SYSTEM: a version word, then records (code, length, data); code 2 is the default
// topic and code 3 the title.
void ChmArchive::readSystem() {
    QByteArray sys;
    if (!read("/#SYSTEM", sys)) return;
    int at = 4;
    while (at + 4 <= sys.size()) {
        const int code = le16(sys, at), len = le16(sys, at + 2);
        const int data = at + 4;
        if (data + len > sys.size()) break;
        if (code == 2 && len > 0) defaultPage_ = archivePath(zeroTerminated(sys.left(data + len), data));
        if (code == 3 && len > 0) title_ = zeroTerminated(sys.left(data + len), data);
        at = data + len;
    }
}

QString ChmArchive::topicPage(int topic) const {
    // #IVB: a byte count, then pairs (context number, offset of the page name in #STRINGS).
    QByteArray ivb, strings;
    if (read("/#IVB", ivb) && read("/#STRINGS", strings)) {
        const int count = static_cast<int>(std::min<std::uint32_t>(le32(ivb, 0), ivb.size() - 4)) / 8;
        for (int i = 0; i < count; ++i) {
            if (static_cast<int>(le32(ivb, 4 + 8 * i)) != topic) continue;
            const QString name = zeroTerminated(strings, static_cast<int>(le32(ivb, 8 + 8 * i)));
            QByteArray probe;
            if (read(archivePath(name), probe)) return archivePath(name);
            // Some compilers store the page with the folder it was compiled in.
            const QString bare = archivePath(name.section('/', -1).section('\\', -1));
            if (read(bare, probe)) return bare;
        }
    }
    // The plain table written beside the pages by the help build: "1001=varpar.htm".
    QByteArray table;
    if (read("/velta_topics.txt", table)) {
        for (const QByteArray& line : table.split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0 && line.left(eq).trimmed().toInt() == topic)
                return archivePath(QString::fromUtf8(line.mid(eq + 1).trimmed()));
        }
    }
    return {};
}

HelpViewer::HelpViewer() : QWidget(nullptr) {
    setObjectName("HelpViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 560);
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
    bar->addAction("Содержание", this, [this] {
        if (chm_ && chm_->isOpen()) browser_->setSource(QUrl("chm:" + chm_->defaultPage()));
    });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    // Pages of the archive open here; other addresses go to the desktop's browser.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == "chm")
            browser_->setSource(url);
        else
            QDesktopServices::openUrl(url);
    });
    box->addWidget(bar);
    box->addWidget(browser_);
    static std::int32_t serial = 0;
    handle_ = ++serial;
}

HelpViewer::~HelpViewer() {
    // The browser refers to the archive: take it away before the archive goes.
    static_cast<ChmBrowser*>(browser_)->chm = nullptr;
}

HelpViewer* HelpViewer::current() { return instance_.data(); }

std::int32_t HelpViewer::open(const QString& chmPath, int topic) {
    if (!instance_) instance_ = new HelpViewer();
    instance_->load(chmPath, topic);
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

void HelpViewer::load(const QString& chmPath, int topic) {
    auto* browser = static_cast<ChmBrowser*>(browser_);
    if (!QFileInfo::exists(chmPath)) {
        browser->chm = nullptr;
        chm_.reset();
        showMessage("Файл справки " + QDir::toNativeSeparators(chmPath) + " не найден.");
        return;
    }
    auto chm = std::make_unique<ChmArchive>(chmPath);
    if (!chm->isOpen()) {
        browser->chm = nullptr;
        chm_.reset();
        showMessage("Файл справки " + QDir::toNativeSeparators(chmPath) + " не удаётся прочитать.");
        return;
    }
    chm_ = std::move(chm);
    browser->chm = chm_.get();
    setWindowTitle(chm_->title().isEmpty() ? QStringLiteral("Справка") : chm_->title());
    QString page = chm_->defaultPage();
    if (topic != 0) {
        page = chm_->topicPage(topic);
        if (page.isEmpty()) {
            showMessage("Раздел справки " + QString::number(topic) + " не найден в файле " +
                        QDir::toNativeSeparators(chmPath) + ".");
            return;
        }
    }
    browser_->setSource(QUrl("chm:" + page));
}

QString HelpViewer::currentPage() const {
    const QUrl src = browser_->source();
    return src.scheme() == "chm" ? src.path() : QString();
}

QString HelpViewer::pageText() const { return browser_->toPlainText(); }

} // namespace velta
