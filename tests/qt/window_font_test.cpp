// The window's texts on a desktop whose font is IPA P Gothic (the fonts.conf
// beside this test), whose "~" is short and high, the overline of JIS, and
// which a short name's "~" takes from the Japanese characters before it.
#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QListView>
#include <QPainterPath>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "platform/qt/main_window.h"

using tarnwick::qt::FromQString;
using tarnwick::qt::MainWindow;

namespace {

// Whether `font` draws U+007E after Japanese characters as a tilde: in a
// font that holds Japanese, among the lower-case letters, where U+203E, the
// overline, is drawn above them. `drawn_in` names the font it is drawn in.
bool DrawsATildeAfterJapanese(const QFont& font, QString& drawn_in) {
  QTextLayout layout(QString::fromUtf16(u"ソフト~1.TXT"), font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> tilde_runs = layout.glyphRuns(3, 1);
  if (tilde_runs.size() != 1) return false;
  QRawFont drawn = tilde_runs.front().rawFont();
  drawn_in = drawn.familyName();
  drawn.setPixelSize(48);
  const auto outline = [&drawn](char16_t character) {
    const QList<quint32> glyph = drawn.glyphIndexesForString(QString(QChar(character)));
    return drawn.pathForGlyph(glyph.front()).boundingRect();
  };
  // y grows downwards.
  const qreal x_height_top = outline(u'x').top();
  return drawn.supportsCharacter(u'ソ') && outline(u'~').center().y() > x_height_top &&
         outline(u'\u203E').center().y() < x_height_top;
}

}  // namespace

class WindowFontTest : public QObject {
  Q_OBJECT

 private slots:
  // The fault itself, which the window's choice of fonts mends.
  void theDesktopsFontDrawsTheTildeAsAnOverline() {
    QString drawn_in;
    QVERIFY(!DrawsATildeAfterJapanese(QApplication::font(), drawn_in));
    QCOMPARE(drawn_in, QStringLiteral("IPAPGothic"));
  }

  void aShortNamesTildeIsATildeInTheListTheLabelAndTheTooltips() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const auto system = tarnwick::CreateSystemServices();
    MainWindow window(*system, FromQString(folder.path()));
    for (const QFont& font : {window.list1()->font(), window.label1()->font(), QToolTip::font()}) {
      QString drawn_in;
      QVERIFY2(DrawsATildeAfterJapanese(font, drawn_in), qPrintable(drawn_in));
    }
  }
};

QTEST_MAIN(WindowFontTest)
#include "window_font_test.moc"
