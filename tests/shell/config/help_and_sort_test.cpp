// Help pages and the name sort.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFile>
#include <QObject>
#include <QUrl>
#include <filesystem>
#include <vector>

#include "platform/paths.h"
#include "shell/config/help.h"
#include "shell/model/name_sort.h"
#include "test_support.h"

using testsupport::ScratchDir;

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

std::string pageOf(const std::string& folder) { return QUrl::fromLocalFile(QString::fromStdString(folder + "/Vestrel_n.htm")).toString().toStdString(); }

TEST(Help, TopicOpensThePageInTheCurrentFolderAtItsAnchor) {
    ScratchDir dir;
    const std::string folder = vestrel::currentDirectory();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    showHelpTopic(16);
    showHelpTopic(30);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), folder + "/Vestrel_n.htm");
    EXPECT_EQ(catcher.opened[0].fragment().toStdString(), "_Commandopost");
    EXPECT_FALSE(catcher.opened[1].hasFragment());  // 30 has no anchor: the top of the page
}

TEST(Help, AnchorsOfTheTopicTable) {
    ScratchDir dir;
    struct Row {
        int topic;
        const char* fragment;
    };
    for (const Row& r : {Row{2, "_Booster_rechtstreeks_sturen"}, Row{10, "_Traject_(dienstregeling)"},
                         Row{20, "_Rangeren,_koppelen_en"}, Row{29, "_Wagonbeheer"}, Row{40, "AutoSnelheidscorrectie"},
                         Row{50, "Tekenregels"}, Row{0, ""}, Row{1, ""}, Row{35, ""}, Row{39, ""}, Row{51, ""}}) {
        SCOPED_TRACE(r.topic);
        const QUrl url(QString::fromStdString(helpTopicUrl(r.topic)));
        EXPECT_EQ(url.fragment().toStdString(), r.fragment);
    }
}

// The whole folder counts, however long its name.
TEST(Help, DeepCurrentFolderIsKeptWhole) {
    ScratchDir dir;
    std::string deep = dir.path();
    while (deep.size() < 180) deep += "/een_diepe_map_voor_de_hulp";
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    ASSERT_GT(vestrel::currentDirectory().size(), 99u);
    EXPECT_EQ(helpTopicUrl(30), pageOf(vestrel::currentDirectory()));
    EXPECT_EQ(QUrl(QString::fromStdString(helpTopicUrl(30))).toLocalFile().toStdString(),
              vestrel::currentDirectory() + "/Vestrel_n.htm");
}

TEST(Help, ThePageWeShipHasEveryAnchor) {
    const auto shipped = std::filesystem::path(VESTREL_FIXTURES) / "../../data/Vestrel_n.htm";
    QFile page(QString::fromStdString(shipped.string()));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (int topic = 0; topic <= 60; ++topic) {
        const QUrl url(QString::fromStdString(helpTopicUrl(topic)));
        if (url.hasFragment()) {
            EXPECT_TRUE(html.contains("name=\"" + url.fragment() + "\"")) << topic;
        }
    }
}

std::vector<std::string> sorted(std::vector<const char*> names, char terminator = '\0', int n = -1) {
    sortNames(names.data(), n < 0 ? static_cast<int>(names.size()) : n, terminator);
    return {names.begin(), names.end()};
}

TEST(SortNames, Alphabetical) {
    EXPECT_EQ(sorted({"Zuid", "Noord", "Oost", "Noordoost"}),
              (std::vector<std::string>{"Noord", "Noordoost", "Oost", "Zuid"}));
    // Signed bytes: a character above 127 sorts before the letters.
    EXPECT_EQ(sorted({"b", "\xE9t", "a"}), (std::vector<std::string>{"\xE9t", "a", "b"}));
}

// Equal names keep their order (a swapping selection sort would turn the two X's around).
TEST(SortNames, EqualNamesKeepTheirOrder) {
    const char* x1 = "Traject X";
    const char* x2 = "Traject X";
    std::vector<const char*> names = {x1, x2, "Aanloop"};
    sortNames(names.data(), 3, '\0');
    EXPECT_STREQ(names[0], "Aanloop");
    EXPECT_EQ(names[1], x1);
    EXPECT_EQ(names[2], x2);
}

TEST(SortNames, OnlyTheFirstThirtyCharactersCount) {
    const std::string stem(30, 'm');
    const std::string late = stem + "z", early = stem + "a";
    std::vector<const char*> names = {late.c_str(), "zz", early.c_str()};
    sortNames(names.data(), 3, '\0');
    EXPECT_EQ(names[0], late.c_str());  // equal within 30 characters: kept in order
    EXPECT_EQ(names[1], early.c_str());
    EXPECT_STREQ(names[2], "zz");
}

TEST(SortNames, StopsAtTheTerminator) {
    const char* a = "abc|z";
    const char* b = "abc|a";
    std::vector<const char*> names = {a, b};
    sortNames(names.data(), 2, '|');
    EXPECT_EQ(names[0], a);
    sortNames(names.data(), 2, '\0');
    EXPECT_EQ(names[0], b);
}

TEST(SortNames, AtMostTwoHundredNames) {
    std::vector<std::string> store;
    for (int i = 0; i < 200; ++i) store.push_back("n" + std::to_string(1000 - i));
    store.push_back("a");
    std::vector<const char*> names;
    for (const auto& s : store) names.push_back(s.c_str());
    sortNames(names.data(), 250, '\0');
    EXPECT_STREQ(names[0], "n1000");
    EXPECT_STREQ(names[1], "n801");
    EXPECT_STREQ(names[199], "n999");
    EXPECT_STREQ(names[200], "a");  // beyond the 200th: untouched
}

}  // namespace

#include "help_and_sort_test.moc"
