// The help viewer over the help archive the build made: contents, keyword index, full-text
// search, back and forward, topic 1002 at each section's page, and "&Примеры задач" on a
// machine without a word processor.
#include "app/qt/helpviewer.h"
#include "app/qt/examplesview.h"
#include "app/qt/mainwindow.h"
#include "data/catalogue.h"
#include "data/store.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>

using namespace velta;
namespace fs = std::filesystem;

namespace {

class Viewer : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        fs::copy_file(VELTA_HELP_CHM, app.path("Help3.chm"));
        w = std::make_unique<MainWindow>(mdl, app.root());
        w->setPrompter(&ui);
    }
    void TearDown() override {
        w.reset();
        HelpViewer::closeAll();
        setWordProcessorLookup({});
    }
    HelpViewer* viewer() const { return HelpViewer::current(); }
    template <class T>
    T* part(const char* name) const {
        T* c = viewer() ? viewer()->findChild<T*>(name) : nullptr;
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString page() const { return viewer()->currentPage(); }
    static QString bare(const QString& p) { return p.section('#', 0, 0); }

    velta::test::TempApp app;
    velta::test::ScriptedPrompter ui;
    std::unique_ptr<MainWindow> w;
};

}  // namespace

TEST(HelpSitemap, NestedEntriesSeveralPagesAndLinkForms) {
    const QString hhk = R"(<html><body><object type="text/site properties"><param name="X" value="1"></object>
<UL>
 <LI><OBJECT type="text/sitemap"><param name="Name" value="ALFA &amp; BETA"><param name="Local" value="sec_11.htm#alfa"></OBJECT>
 <UL>
  <LI><object type="text/sitemap"><param name="Name" value="в разделе 1.2"><param name="Local" value="ms-its:Help3.chm::/sec_12.htm"></object>
 </UL>
 <LI><object type="text/sitemap"><param name="Name" value="NDIM"><param name="Name" value="Раздел 1.1"><param name="Local" value="sec_11.htm"><param name="Name" value="Раздел 2.1"><param name="Local" value="dir\sec_21.htm"></object>
</UL></body></html>)";
    const QList<SitemapEntry> top = parseSitemap(hhk);
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0].name, "ALFA & BETA");
    EXPECT_EQ(top[0].pages, QStringList{"/sec_11.htm#alfa"});
    ASSERT_EQ(top[0].children.size(), 1);
    EXPECT_EQ(top[0].children[0].pages, QStringList{"/sec_12.htm"});
    EXPECT_EQ(top[1].name, "NDIM");
    EXPECT_EQ(top[1].pages, (QStringList{"/sec_11.htm", "/dir/sec_21.htm"}));
    EXPECT_EQ(top[1].titles, (QStringList{"Раздел 1.1", "Раздел 2.1"}));
}

TEST_F(Viewer, ContentsOpenTheirPagesAndBackForwardRetrace) {
    w->showHelp(0);
    auto* tree = part<QTreeWidget>("helpContents");
    ASSERT_NE(tree, nullptr);
    QStringList visited;
    int items = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QString target = (*it)->data(0, Qt::UserRole).toString();
        if (target.isEmpty()) continue;
        ++items;
        emit tree->itemClicked(*it, 0);
        EXPECT_EQ(page(), bare(target)) << (*it)->text(0).toStdString();
        EXPECT_FALSE(viewer()->pageText().trimmed().isEmpty()) << target.toStdString();
        // The contents mark the page shown (the first entry of it, when two lead there).
        ASSERT_NE(tree->currentItem(), nullptr);
        EXPECT_EQ(bare(tree->currentItem()->data(0, Qt::UserRole).toString()), bare(target));
        if (visited.isEmpty() || visited.last() != bare(target)) visited << bare(target);
    }
    // Every page of the archive is reachable from the contents.
    ChmArchive chm(VELTA_HELP_CHM);
    for (const QString& p : chm.pages()) EXPECT_TRUE(visited.contains(p)) << p.toStdString();
    ASSERT_GE(visited.size(), 3);

    auto* back = part<QAction>("helpBack");
    auto* forward = part<QAction>("helpForward");
    ASSERT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_EQ(page(), visited[visited.size() - 2]);
    back->trigger();
    EXPECT_EQ(page(), visited[visited.size() - 3]);
    ASSERT_TRUE(forward->isEnabled());
    forward->trigger();
    EXPECT_EQ(page(), visited[visited.size() - 2]);
    EXPECT_GE(items, visited.size());
}

TEST_F(Viewer, IndexFilterFindsKeywordsAndOpensTheirPages) {
    w->showHelp(0);
    ChmArchive chm(VELTA_HELP_CHM);
    ASSERT_FALSE(chm.indexFile().isEmpty()) << "the help archive has no keyword index";
    QByteArray hhk;
    ASSERT_TRUE(chm.read(chm.indexFile(), hhk));
    auto* tree = part<QTreeWidget>("helpIndex");
    auto* filter = part<QLineEdit>("helpIndexFilter");
    ASSERT_GT(tree->topLevelItemCount(), 10);

    int checked = 0;
    for (int i = 0; i < tree->topLevelItemCount(); i += std::max(1, tree->topLevelItemCount() / 12)) {
        const QString keyword = tree->topLevelItem(i)->text(0);
        filter->setText(keyword.left(std::max<qsizetype>(3, keyword.size() / 2)));
        QTreeWidgetItem* cur = tree->currentItem();
        ASSERT_NE(cur, nullptr) << keyword.toStdString();
        EXPECT_TRUE(cur->text(0).contains(filter->text(), Qt::CaseInsensitive));
        for (int j = 0; j < tree->topLevelItemCount(); ++j)
            EXPECT_EQ(tree->topLevelItem(j)->isHidden(),
                      !tree->topLevelItem(j)->text(0).contains(filter->text(), Qt::CaseInsensitive));
        // The typed keyword itself, then Enter: its page (or the first of its pages).
        filter->setText(keyword);
        ASSERT_EQ(tree->currentItem()->text(0).left(keyword.size()).toLower(), keyword.toLower());
        QTreeWidgetItem* entry = tree->currentItem();
        const QString target = entry->data(0, Qt::UserRole).toString();
        emit filter->returnPressed();
        if (target.isEmpty()) {
            ASSERT_GT(entry->childCount(), 0);
            emit tree->itemActivated(entry->child(0), 0);
            EXPECT_EQ(page(), bare(entry->child(0)->data(0, Qt::UserRole).toString()));
        } else {
            EXPECT_EQ(page(), bare(target)) << keyword.toStdString();
        }
        EXPECT_TRUE(chm.contains(page())) << page().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 10);
    filter->setText("жжжщщщ");
    for (int j = 0; j < tree->topLevelItemCount(); ++j) EXPECT_TRUE(tree->topLevelItem(j)->isHidden());
}

TEST_F(Viewer, SearchFindsThePagesHoldingEveryWord) {
    w->showHelp(0);
    ChmArchive chm(VELTA_HELP_CHM);
    const HelpSearch& index = viewer()->searchIndex();
    ASSERT_EQ(index.pageCount(), chm.pages().size());
    // The words of the pages as the viewer shows them, to check hits against.
    auto* browser = part<QTextBrowser>("helpBrowser");
    QHash<QString, QStringList> words;
    for (const QString& p : chm.pages()) {
        browser->setSource(QUrl("chm:" + p));
        words[p] = HelpSearch::words(browser->toPlainText());
    }
    const auto holds = [&](const QString& p, const QString& w) {
        return std::any_of(words[p].begin(), words[p].end(),
                           [&](const QString& x) { return x.startsWith(w); });
    };
    struct Case {
        QString query;
        int atLeast;
    };
    const Case cases[] = {
        {"ALFA", 3},         {"запаздывание", 2}, {"Пуанкаре", 1}, {"стационарные решения", 2},
        {"NDIM матрица", 1}, {"жжжщщщ", 0},
    };
    for (const Case& c : cases) {
        const QStringList hits = viewer()->search(c.query);
        EXPECT_GE(hits.size(), c.atLeast) << c.query.toStdString();
        if (c.atLeast == 0) {
            EXPECT_TRUE(hits.isEmpty());
        }
        for (const QString& p : chm.pages()) {
            bool all = true;
            for (const QString& w : HelpSearch::words(c.query)) all = all && holds(p, HelpSearch::stem(w));
            EXPECT_EQ(hits.contains(p), all) << c.query.toStdString() << " " << p.toStdString();
        }
    }
    // The list shows titles; a hit opens its page.
    viewer()->search("Пуанкаре");
    auto* list = part<QListWidget>("helpSearchHits");
    ASSERT_GT(list->count(), 0);
    const QString first = list->item(0)->data(Qt::UserRole).toString();
    EXPECT_EQ(list->item(0)->text(), index.title(first));
    emit list->itemActivated(list->item(0));
    EXPECT_EQ(page(), first);
    EXPECT_TRUE(browser->textCursor().hasSelection());
}

TEST_F(Viewer, Topic1002OpensTheCurrentSectionsPage) {
    for (const SectionInfo& s : catalogue()) {
        w->findChild<QAction*>(QString::fromStdString(s.menuObject))->trigger();
        ASSERT_EQ(w->shell().section, s.code);
        w->showHelp(1002);
        const QString want = "/sec_" + QString::number(s.code) + ".htm";
        EXPECT_EQ(page(), want) << s.code;
        // The page is headed by the section's number with points: "2.1.3. …".
        QString number;
        for (QChar d : QString::number(s.code)) number += d + QString(".");
        EXPECT_TRUE(viewer()->pageText().trimmed().startsWith(number + " ")) << s.code;
        EXPECT_NE(mdl.HELPWND, 0);
    }
    w->showHelp(1001);
    EXPECT_EQ(page(), "/varpar.htm");
}

TEST_F(Viewer, ExamplesWithoutAWordProcessorAreShownInside) {
    setWordProcessorLookup([](const QString&) { return QString(); });
    fs::copy_file(std::string(VELTA_SOURCE_DIR) + "/User/VELTA_D.doc", app.path("User/VELTA_D.doc"));
    // With the help file: its pages of the examples.
    w->findChild<QAction*>("mnuPriZad")->trigger();
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_NE(viewer(), nullptr);
    EXPECT_TRUE(viewer()->isVisible());
    EXPECT_EQ(page(), ChmArchive(VELTA_HELP_CHM).examplesPage());
    EXPECT_TRUE(viewer()->pageText().contains("Примеры задач"));
    EXPECT_NE(mdl.HELPWND, 0);
    w->close();
    EXPECT_EQ(viewer(), nullptr);

    // Without it: the document's own text.
    fs::remove(app.path("Help3.chm"));
    w = std::make_unique<MainWindow>(mdl, app.root());
    w->setPrompter(&ui);
    w->findChild<QAction*>("mnuPriZad")->trigger();
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_NE(viewer(), nullptr);
    const QString text = viewer()->pageText();
    EXPECT_TRUE(text.contains("Пакет программ VELTA. Примеры задач"));
    EXPECT_TRUE(text.contains("2.1.3. Стационарные решения"));
    EXPECT_FALSE(text.contains("\\u")) << "RTF control words left in the text";
    EXPECT_FALSE(text.contains("Times New Roman"));
}
