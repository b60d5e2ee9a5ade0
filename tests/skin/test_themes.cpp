// The built-in theme table, style resolution and handing a style to child controls.
#include "skin/Suimgr.h"
#include "skin/Suithemes.h"
#include "support/QtApp.h"

#include <QMetaEnum>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TsuiUIStyle kBuiltIn[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

// Stands in for the skinned frame: GetSUIFormStyle finds it by its class name.
class TsuiForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
public:
    using QWidget::QWidget;
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle s) { m_style = s; }

private:
    TsuiUIStyle m_style = DeepBlue;
};

// A skinned control that records the order in which its two properties are set.
class Skinned : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
public:
    using QWidget::QWidget;
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle s)
    {
        m_style = s;
        calls.push_back("UIStyle");
    }
    TsuiFileTheme* FileTheme() const { return m_theme; }
    void setFileTheme(TsuiFileTheme* t)
    {
        m_theme = t;
        calls.push_back("FileTheme");
    }
    std::vector<std::string> calls;

private:
    TsuiUIStyle m_style = MacOS;
    TsuiFileTheme* m_theme = nullptr;
};

// Has a style but no file theme: ContainerApplyUIStyle must pass it by.
class StyleOnly : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
public:
    using QWidget::QWidget;
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle s) { m_style = s; }

private:
    TsuiUIStyle m_style = MacOS;
};

// What one element gives for one style through each of the four readers.
struct Reading {
    TColor color;
    int integer;
    bool boolean;
    QString picture;
};

Reading Read(TsuiUIStyle style, int element)
{
    return {GetInsideThemeColor(style, element), GetInsideThemeInt(style, element), GetInsideThemeBool(style, element),
            GetInsideThemePictureName(style, element)};
}

// The part of a picture's name after its style ("TAB_LINE" of "MACOS_TAB_LINE"); "MORE_" pictures are
// shared by several styles. Empty when the name follows neither rule.
QString PictureSuffix(TsuiUIStyle style, const QString& name)
{
    const QString styleName = QString::fromLatin1(QMetaEnum::fromType<TsuiUIStyle>().valueToKey(style)).toUpper();
    for (const QString& prefix : {styleName + QLatin1Char('_'), QStringLiteral("MORE_")}) {
        if (name.startsWith(prefix)) return name.mid(prefix.size());
    }
    return {};
}

// Every element of the table, whatever it holds: each is read by the reader of its kind alone, the
// others giving their empty values; colours are 24-bit; a picture is named for its style (the same
// suffix for every style that has one) and is a resource of the program.
TEST(ThemeTable, EveryElementReadsAsItsKindForEveryStyle)
{
    for (int element = 1; element <= SUI_THEME_ELEMENT_COUNT; ++element) {
        const int kind = SUI_ITEM_TYPE[element - 1];
        ASSERT_TRUE(kind == SUI_KIND_INT || kind == SUI_KIND_COLOR || kind == SUI_KIND_PICTURE || kind == SUI_KIND_BOOL)
            << "element " << element << " has kind " << kind;
        QString suffix;
        for (TsuiUIStyle style : kBuiltIn) {
            SCOPED_TRACE(testing::Message() << "element " << element << " style " << int(style));
            const Reading r = Read(style, element);
            EXPECT_TRUE(kind == SUI_KIND_COLOR || r.color == 0u) << r.color;
            EXPECT_TRUE(kind == SUI_KIND_INT || r.integer == -1) << r.integer;
            EXPECT_TRUE(kind == SUI_KIND_BOOL || !r.boolean);
            EXPECT_TRUE(kind == SUI_KIND_PICTURE || r.picture.isEmpty()) << r.picture.toStdString();
            EXPECT_LE(r.color, 0xFFFFFFu);
            if (kind == SUI_KIND_PICTURE && !r.picture.isEmpty()) {
                EXPECT_FALSE(LoadSkinBitmap(r.picture).isNull()) << r.picture.toStdString() << " is no resource";
                const QString mine = PictureSuffix(style, r.picture);
                EXPECT_FALSE(mine.isEmpty()) << r.picture.toStdString() << " is not named for its style";
                if (suffix.isEmpty()) suffix = mine;
                EXPECT_EQ(mine.toStdString(), suffix.toStdString()) << r.picture.toStdString();
            }
        }
    }
}

// The numbers the controls of the two windows read, and the menu colours.
struct ReadNumber {
    int element;
    int kind;
    std::vector<qint64> values;  // MacOS, WinXP, DeepBlue, Protein, BlueGlass
};

const std::vector<ReadNumber> kReadNumbers = {
    {SUI_THEME_BUTTON_TRANSPARENT, SUI_KIND_BOOL, {1, 0, 0, 0, 1}},
    {SUI_THEME_TITLE_BUTTON_TRANSPARENT, SUI_KIND_BOOL, {0, 0, 0, 1, 1}},
    {SUI_THEME_TITLE_LEFT_BUTTON_OFFSET, SUI_KIND_INT, {3, 2, 0, 0, 4}},
    {SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET, SUI_KIND_INT, {-2, -2, 0, 0, -3}},
    {SUI_THEME_TITLE_BUTTON_TOP, SUI_KIND_INT, {4, 5, 2, 2, 6}},
    {SUI_THEME_FORM_MIN_WIDTH, SUI_KIND_INT, {130, 150, 130, 130, 270}},
    {SUI_THEME_ROUND_CORNER_SIZE, SUI_KIND_INT, {0, 13, 0, 0, 11}},
    {SUI_THEME_FORM_COLOR, SUI_KIND_COLOR, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {SUI_THEME_FORM_BORDER_COLOR, SUI_KIND_COLOR, {0x7F7F7F, 0xC82C00, 0, 0, 0}},
    {SUI_THEME_FORM_BORDER_WIDTH, SUI_KIND_INT, {1, 3, 1, 1, 1}},
    {SUI_THEME_MENU_SELECTED_BORDER_COLOR, SUI_KIND_COLOR, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {SUI_THEME_MENU_SELECTED_COLOR, SUI_KIND_COLOR, {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {SUI_THEME_MENU_SELECTED_FONT_COLOR, SUI_KIND_COLOR, {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {SUI_THEME_MENU_BACKGROUND_COLOR, SUI_KIND_COLOR, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {SUI_THEME_MENU_FONT_COLOR, SUI_KIND_COLOR, {0, 0, 0, 0, 0}},
    {SUI_THEME_MENU_LEFTBAR_COLOR, SUI_KIND_COLOR, {0, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}},
    {SUI_THEME_CONTROL_BORDER_COLOR, SUI_KIND_COLOR, {0x7F7F7F, 0x686868, 0, 0, 0}},
    {SUI_THEME_PAGE_COLOR, SUI_KIND_COLOR, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {SUI_THEME_GROUPBOX_FONT_COLOR, SUI_KIND_COLOR, {0, 0xCF4602, 0, 0, 0}},
};

TEST(ThemeTable, NumbersTheWindowsReadHoldTheirValues)
{
    for (const ReadNumber& d : kReadNumbers) {
        ASSERT_EQ(SUI_ITEM_TYPE[d.element - 1], d.kind) << "element " << d.element;
        for (std::size_t s = 0; s < d.values.size(); ++s) {
            const TsuiUIStyle style = kBuiltIn[s];
            SCOPED_TRACE(testing::Message() << "element " << d.element << " style " << int(style));
            const Reading r = Read(style, d.element);
            const qint64 v = d.values[s];
            EXPECT_EQ(r.color, d.kind == SUI_KIND_COLOR ? TColor(v) : 0u);
            EXPECT_EQ(r.integer, d.kind == SUI_KIND_INT ? int(v) : -1);
            EXPECT_EQ(r.boolean, d.kind == SUI_KIND_BOOL && v != 0);
        }
    }
}

TEST(ThemeLookup, FromThemeFileReadsAsTheIntegerMinusOne)
{
    EXPECT_EQ(GetInsideThemeColor(FromThemeFile, SUI_THEME_FORM_COLOR), 0u);
    EXPECT_EQ(GetInsideThemeInt(FromThemeFile, SUI_THEME_FORM_COLOR), -1);
    EXPECT_EQ(GetInsideThemeInt(FromThemeFile, SUI_THEME_FORM_MIN_WIDTH), -1);
    EXPECT_FALSE(GetInsideThemeBool(FromThemeFile, SUI_THEME_BUTTON_TRANSPARENT));
    QImage dest(3, 3, QImage::Format_RGB32);
    GetInsideThemeBitmap(FromThemeFile, SUI_THEME_BUTTON_STRIP, &dest);
    EXPECT_EQ(dest.size(), QSize(3, 3)) << "count 0 keeps the destination";
    GetInsideThemeBitmap(FromThemeFile, SUI_THEME_BUTTON_STRIP, &dest, 3, 1);
    EXPECT_TRUE(dest.isNull()) << "a piece of nothing is empty";
}

TEST(ThemeLookup, PictureNamesFollowTheStyleName)
{
    EXPECT_EQ(GetInsideThemePictureName(BlueGlass, SUI_THEME_TITLE_CLIENT_PICTURE), "BLUEGLASS_TITLE_CLIENT");
    EXPECT_EQ(GetInsideThemePictureName(WinXP, SUI_THEME_TAB_SCROLL_BUTTON_STRIP), "WINXP_SCROLLBUTTON");
    EXPECT_EQ(GetInsideThemePictureName(DeepBlue, SUI_THEME_TAB_SCROLL_BUTTON_STRIP), "MORE_SCROLLBUTTON");
    EXPECT_TRUE(GetInsideThemePictureName(Protein, SUI_THEME_FORM_COLOR).isEmpty());
    // Only some styles pattern their forms or picture their menus; the others draw in colours.
    EXPECT_EQ(GetInsideThemePictureName(Protein, SUI_THEME_FORM_BACKGROUND_PICTURE), "PROTEIN_FORM_BACKGROUND");
    EXPECT_TRUE(GetInsideThemePictureName(DeepBlue, SUI_THEME_FORM_BACKGROUND_PICTURE).isEmpty());
    EXPECT_EQ(GetInsideThemePictureName(MacOS, SUI_THEME_MENU_SELECTED_PICTURE), "MACOS_MENU_SELECT");
    EXPECT_TRUE(GetInsideThemePictureName(WinXP, SUI_THEME_MENU_ITEM_PICTURE).isEmpty());
    EXPECT_EQ(GetInsideThemeColor(Protein, SUI_THEME_BUTTON_STRIP), 0u);
    EXPECT_EQ(GetInsideThemeInt(Protein, SUI_THEME_BUTTON_STRIP), -1);
}

TEST(ThemeLookup, NonPictureElementKeepsOrEmptiesTheDestination)
{
    QImage dest(5, 4, QImage::Format_RGB32);
    GetInsideThemeBitmap(Protein, SUI_THEME_FORM_COLOR, &dest);
    EXPECT_EQ(dest.size(), QSize(5, 4));
    GetInsideThemeBitmap(Protein, SUI_THEME_FORM_COLOR, &dest, 3, 2);
    EXPECT_TRUE(dest.isNull());
    GetInsideThemeBitmap(Protein, SUI_THEME_BUTTON_STRIP, nullptr, 3, 2);  // nothing happens
}

struct SizeCase {
    int element;
    std::vector<QSize> sizes;  // MacOS, WinXP, DeepBlue, Protein, BlueGlass
};

// The sizes of the embedded artwork.
const std::vector<SizeCase> kSizes = {
    {SUI_THEME_BUTTON_STRIP, {{252, 23}, {54, 21}, {222, 21}, {222, 21}, {231, 27}}},
    {SUI_THEME_TITLE_BUTTON_STRIP, {{306, 17}, {378, 21}, {342, 19}, {342, 19}, {342, 19}}},
    {SUI_THEME_TITLE_LEFT_PICTURE, {{48, 23}, {35, 29}, {97, 32}, {441, 23}, {162, 33}}},
    {SUI_THEME_TITLE_CLIENT_PICTURE, {{49, 23}, {37, 29}, {98, 32}, {1, 23}, {179, 33}}},
    {SUI_THEME_TITLE_RIGHT_PICTURE, {{48, 23}, {35, 29}, {97, 32}, {1, 23}, {101, 33}}},
    {SUI_THEME_TAB_SCROLL_BUTTON_STRIP, {{72, 18}, {72, 18}, {72, 17}, {72, 17}, {72, 17}}},
    {SUI_THEME_TAB_STRIP, {{36, 27}, {18, 18}, {12, 17}, {18, 17}, {18, 17}}},
    {SUI_THEME_TAB_LINE, {{17, 7}, {8, 1}, {5, 5}, {10, 5}, {10, 5}}},
};

TEST(ThemeBitmap, WholePicturesHaveTheirSizes)
{
    for (const SizeCase& c : kSizes) {
        for (int s = 0; s < 5; ++s) {
            QImage dest;
            GetInsideThemeBitmap(kBuiltIn[s], c.element, &dest);
            EXPECT_EQ(dest.size(), c.sizes[s]) << "element " << c.element << " style " << int(kBuiltIn[s]);
        }
    }
}

TEST(ThemeBitmap, ProteinButtonPiecesAreCutFromTheStrip)
{
    const QImage strip = LoadSkinBitmap(QStringLiteral("PROTEIN_BUTTON"));
    ASSERT_EQ(strip.size(), QSize(222, 21));
    QImage piece;
    GetInsideThemeBitmap(Protein, SUI_THEME_BUTTON_STRIP, &piece, 3, 2);
    EXPECT_EQ(piece.size(), QSize(74, 21));
    EXPECT_EQ(piece, strip.copy(74, 0, 74, 21));
    GetInsideThemeBitmap(Protein, SUI_THEME_BUTTON_STRIP, &piece, 3, 3);
    EXPECT_EQ(piece, strip.copy(148, 0, 74, 21));
    GetInsideThemeBitmap(MacOS, SUI_THEME_TITLE_BUTTON_STRIP, &piece, 18, 18);
    EXPECT_EQ(piece.size(), QSize(17, 17));
}

TEST(ThemeBitmap, MissingResourceIsNull)
{
    EXPECT_TRUE(LoadSkinBitmap(QStringLiteral("NO_SUCH_PICTURE")).isNull());
    EXPECT_TRUE(LoadSkinBitmap(QString()).isNull());
}

TEST(StyleProperty, StyleTravelsThroughQtProperties)
{
    EnsureQtApp();
    Skinned control;
    ASSERT_TRUE(control.setProperty("UIStyle", QVariant::fromValue(Protein)));
    EXPECT_EQ(control.UIStyle(), Protein);
    EXPECT_EQ(control.property("UIStyle").value<TsuiUIStyle>(), Protein);
    EXPECT_EQ(sizeof(TsuiUIStyle), 1u);
}

TEST(FormStyle, FirstSkinnedFrameOfAWindowGivesTheStyle)
{
    EnsureQtApp();
    QWidget window;
    QWidget plain(&window);
    TsuiForm frame(&window);
    frame.setUIStyle(Protein);
    TsuiForm second(&window);
    second.setUIStyle(MacOS);
    EXPECT_EQ(GetSUIFormStyle(&window), Protein);

    QWidget bare;
    EXPECT_EQ(GetSUIFormStyle(&bare), DeepBlue);
    EXPECT_EQ(GetSUIFormStyle(nullptr), DeepBlue);

    // An owner that is not a window counts as no form at all.
    QWidget panel(&bare);
    TsuiForm inner(&panel);
    inner.setUIStyle(WinXP);
    EXPECT_EQ(GetSUIFormStyle(&panel), DeepBlue);
}

TEST(FileTheme, BuiltInStylesStandForThemselvesAndFileThemesFallBack)
{
    TsuiFileTheme theme;
    TsuiUIStyle effective = MacOS;
    for (TsuiUIStyle s : kBuiltIn) {
        EXPECT_FALSE(UsingFileTheme(&theme, s, effective));
        EXPECT_EQ(effective, s);
    }
    EXPECT_FALSE(UsingFileTheme(nullptr, FromThemeFile, effective));
    EXPECT_EQ(effective, DeepBlue);
    EXPECT_FALSE(UsingFileTheme(&theme, FromThemeFile, effective)) << "a file theme is never usable";
    EXPECT_EQ(effective, DeepBlue);
}

TEST(FileTheme, WatchClearsTheSlotWhenTheCurrentThemeGoes)
{
    QObject control;
    QPointer<TsuiFileTheme> slot;
    int gone = 0;
    const auto onGone = [&] {
        EXPECT_EQ(slot, nullptr);
        ++gone;
    };
    auto* first = new TsuiFileTheme;
    auto* second = new TsuiFileTheme;
    WatchFileTheme(&control, slot, first, onGone);
    EXPECT_EQ(slot, first);
    WatchFileTheme(&control, slot, second, onGone);
    delete first;
    EXPECT_EQ(gone, 0) << "a replaced theme is no longer watched";
    EXPECT_EQ(slot, second);
    delete second;
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(slot, nullptr);

    auto* third = new TsuiFileTheme;
    WatchFileTheme(&control, slot, third, onGone);
    WatchFileTheme(&control, slot, nullptr, onGone);
    delete third;
    EXPECT_EQ(gone, 1);
}

TEST(FileTheme, EffectiveStyleIgnoresFileThemes)
{
    TsuiFileTheme theme;
    for (TsuiUIStyle s : kBuiltIn)
        EXPECT_EQ(EffectiveStyle(&theme, s), s);
    EXPECT_EQ(EffectiveStyle(&theme, FromThemeFile), DeepBlue);
    EXPECT_EQ(EffectiveStyle(nullptr, FromThemeFile), DeepBlue);
}

TEST(ContainerStyle, DirectChildrenWithBothPropertiesGetThemeThenStyle)
{
    EnsureQtApp();
    QWidget container;
    Skinned first(&container);
    StyleOnly styleOnly(&container);
    QWidget box(&container);
    Skinned grandchild(&box);
    Skinned second(&container);
    TsuiFileTheme theme;

    ContainerApplyUIStyle(&container, WinXP, &theme);

    for (Skinned* c : {&first, &second}) {
        EXPECT_EQ(c->UIStyle(), WinXP);
        EXPECT_EQ(c->FileTheme(), &theme);
        EXPECT_EQ(c->calls, (std::vector<std::string>{"FileTheme", "UIStyle"}));
    }
    EXPECT_EQ(styleOnly.UIStyle(), MacOS);
    EXPECT_EQ(grandchild.UIStyle(), MacOS);
    EXPECT_TRUE(grandchild.calls.empty());
    ContainerApplyUIStyle(nullptr, WinXP, nullptr);
}

TEST(ContainerStyle, HasPropertySeesDeclaredPropertiesOnly)
{
    EnsureQtApp();
    Skinned control;
    EXPECT_TRUE(IsHasProperty(&control, "UIStyle"));
    EXPECT_TRUE(IsHasProperty(&control, "FileTheme"));
    EXPECT_TRUE(IsHasProperty(&control, "enabled"));
    EXPECT_FALSE(IsHasProperty(&control, "NoSuchProperty"));
    control.setProperty("Dynamic", 1);
    EXPECT_FALSE(IsHasProperty(&control, "Dynamic"));
    EXPECT_FALSE(IsHasProperty(nullptr, "UIStyle"));
}

}  // namespace

#include "test_themes.moc"
