#include "gui/ExportOptionForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace rz;
using rz::excel::ExcelOp;

namespace {

// Every option field but the application handle, for comparing whole option sets.
QStringList fields(const ExcelOp& op)
{
    return {
        QString::number(op.ChartWidth),        QString::number(op.ChartHeight),
        QString::number(op.ShowLegend),        QString::number(op.LegendIncludeInLayout),
        QString::number(op.ShowGraphTitle),    op.GraphTitle,
        QString::number(op.ShowAxisLine),      op.XAxisPosition,
        op.YAxisPosition,                      QString::number(op.ShowAxisTitle),
        op.XAxisTitle,                         op.YAxisTitle,
        QString::number(op.TickLabelFontSize), QString::number(op.AxisTitleFontSize),
        QString::number(op.LegendFontSize),    QString::number(op.ShowPlotAreaLine),
        QString::number(op.LineWeight),        QString::number(op.LineColorMode),
        QString::number(op.MarkerColorMode),   QString::number(op.ShowMarker),
        QString::number(op.MarkerSize),        QString::number(op.MarkerStyle),
        QString::number(op.ExportMode),        QString::number(op.TitleFontSize),
    };
}

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void typeInto(QComboBox* combo, const QString& text)
{
    typeInto(combo->lineEdit(), text);
}

// A click on the box itself, as a user would tick it.
void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

QString labelOf(QWidget* field)
{
    for (QLabel* label : field->parentWidget()->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label->text();
    return {};
}

}  // namespace

class ExportOptionsTest : public QObject {
    Q_OBJECT

private:
    QStringList messages;

    // Opens the dialog as the menu does, runs body on it inside its modal loop, then
    // presses "Cancel" (unless body closed it).
    void withDialog(ExcelOp& op, const std::function<void(TExportOptionForm&)>& body, QChar separator = u'.')
    {
        QTimer::singleShot(0, [&] {
            QVERIFY(ExportOptionForm != nullptr);
            TExportOptionForm* form = ExportOptionForm;
            body(*form);
            if (ExportOptionForm == form && form->isVisible())
                QTest::mouseClick(form->btn2, Qt::LeftButton);
        });
        ShowExcelOptions(nullptr, op, separator, [this](const QString& text) { messages << text; });
        QCOMPARE(ExportOptionForm, nullptr);
    }

    void updateWith(ExcelOp& op, const std::function<void(TExportOptionForm&)>& edit, QChar separator = u'.')
    {
        withDialog(op, [&](TExportOptionForm& form) {
            edit(form);
            QTest::mouseClick(form.btn1, Qt::LeftButton);
        }, separator);
    }

private slots:
    void init() { messages.clear(); }

    void opensWithTheDefaults()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) {
            QCOMPARE(f.windowTitle(), "Export Options");
            QCOMPARE(f.height(), 487);
            QVERIFY(f.width() >= 458);
            QCOMPARE(f.edt3->text(), "450");
            QCOMPARE(f.edt4->text(), "300");
            QCOMPARE(f.cbb1->currentText(), "0.5");
            QCOMPARE(f.cbb3->currentText(), "4");
            QCOMPARE(f.cbb2->currentText(), "8");
            QCOMPARE(f.edt8->text(), "10");
            QCOMPARE(f.edt9->text(), "10");
            QCOMPARE(f.edt10->text(), "10");
            QCOMPARE(f.edt11->text(), "10");
            QCOMPARE(f.edt6->text(), "-10000");
            QCOMPARE(f.edt7->text(), "-10000");
            QCOMPARE(f.edt1->text(), "X Axis");
            QCOMPARE(f.edt2->text(), "Y Axis");
            QCOMPARE(f.edt5->text(), "Graph Title");
            for (QCheckBox* ticked : {f.chk3, f.chk1, f.chk6, f.chk2, f.chk7})
                QVERIFY2(ticked->isChecked(), qPrintable(ticked->text()));
            QVERIFY(!f.chk4->isChecked());
            QVERIFY(!f.chk5->isChecked());
            QCOMPARE(f.cbb4->currentText(), "Auto");
            QCOMPARE(f.cbb5->currentText(), "Auto");
            QVERIFY(f.rb1->isChecked());
            QVERIFY(!f.rb2->isChecked());
        });
    }

    // Every drop-down shows its items and its current text whole, and the columns that
    // widen for them do not run into each other.
    void dropDownsShowTheirTextsWhole_data()
    {
        QTest::addColumn<float>("lineWeight");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("defaults") << 0.5f << QChar(u'.');
        QTest::newRow("a line weight with many digits") << 0.3f << QChar(u'.');
        QTest::newRow("the same under a decimal comma") << 0.3f << QChar(u',');
    }
    void dropDownsShowTheirTextsWhole()
    {
        QFETCH(float, lineWeight);
        QFETCH(QChar, separator);
        ExcelOp op;
        op.LineWeight = lineWeight;
        op.LineColorMode = 1;
        op.MarkerColorMode = 1;
        withDialog(op, [](TExportOptionForm& f) {
            for (QComboBox* combo : {f.cbb1, f.cbb4, f.cbb2, f.cbb3, f.cbb5}) {
                QStyleOptionComboBox option;
                option.initFrom(combo);
                option.editable = combo->isEditable();
                const int room = combo->isEditable()
                                     ? combo->lineEdit()->width() - 4
                                     : combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                      QStyle::SC_ComboBoxEditField, combo).width();
                QStringList texts{combo->currentText()};
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i);
                for (const QString& text : texts)
                    QVERIFY2(combo->fontMetrics().horizontalAdvance(text) <= room,
                             qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                            .arg(combo->objectName(), text)
                                            .arg(combo->fontMetrics().horizontalAdvance(text))
                                            .arg(room)));
                QVERIFY(combo->geometry().right() < f.grp1->width());
            }
            QVERIFY(f.grp1->geometry().right() < f.grp4->x());
            QVERIFY(f.grp2->geometry().right() < f.grp3->x());
            QCOMPARE(f.grp2->width(), f.grp1->width());
            for (QWidget* right : {static_cast<QWidget*>(f.grp3), static_cast<QWidget*>(f.grp6),
                                   static_cast<QWidget*>(f.btn2)})
                QVERIFY(right->geometry().right() < f.width());
        }, separator);
        QCOMPARE(op.LineWeight, lineWeight);
    }

    void showsTheCaptionsAsWritten()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) {
            const QStringList groups = {f.grp1->title(), f.grp2->title(), f.grp3->title(),
                                        f.grp4->title(), f.grp5->title(), f.grp6->title()};
            QCOMPARE(groups, (QStringList{"Serie", "Axis", "Plot Area", "Lengend", "Title", "Export Mode"}));
            QCOMPARE(f.chk1->text(), "Show Maker");
            QCOMPARE(f.chk3->text(), "Show Lengend");
            QCOMPARE(f.chk4->text(), "IncludeInLayout");
            QCOMPARE(labelOf(f.cbb2), "Maker Style");
            QCOMPARE(labelOf(f.cbb3), "Maker Size");
            QCOMPARE(labelOf(f.cbb5), "Maker Color");
            QCOMPARE(labelOf(f.edt8), "Ticklabel Font Size");
            QCOMPARE(labelOf(f.edt11), "Font Size");
            QCOMPARE(f.btn1->text(), "Update");
            QCOMPARE(f.btn2->text(), "Cancel");
            QCOMPARE(f.rb2->text(), "Combined Output");
            QCOMPARE(f.cbb1->count(), 7);
            QCOMPARE(f.cbb1->itemText(1), "0.25");
            QVERIFY(f.cbb1->isEditable());
            QVERIFY(!f.cbb2->isEditable());
            QCOMPARE(f.cbb4->itemText(1), "Same as Plot Panel");
        });
    }

    void tabOrderRunsByGroup()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) {
            const QStringList expected = {"cbb1", "cbb4", "chk1", "cbb2", "cbb3", "cbb5", "chk2", "edt1", "edt2",
                                          "edt9", "chk6", "edt6", "edt7", "edt8", "edt3", "edt4", "chk7", "btn1",
                                          "btn2", "chk3", "chk4", "edt10", "chk5", "edt5", "edt11", "rb1", "rb2"};
            QStringList chain;
            QWidget* w = f.cbb1;
            do {
                if (expected.contains(w->objectName()) && !chain.contains(w->objectName()))
                    chain << w->objectName();
                w = w->nextInFocusChain();
            } while (w != f.cbb1);
            QCOMPARE(chain, expected);
        });
    }

    void updateStoresEveryControl()
    {
        ExcelOp op;
        updateWith(op, [](TExportOptionForm& f) {
            typeInto(f.edt4, "420");
            typeInto(f.edt3, "0");
            click(f.chk3);
            click(f.chk4);
            f.cbb1->setCurrentIndex(6);
            typeInto(f.cbb3, "-3");
            click(f.chk1);
            f.cbb2->setCurrentIndex(1);
            typeInto(f.edt8, "7");
            typeInto(f.edt9, "11");
            typeInto(f.edt10, "12");
            click(f.chk5);
            typeInto(f.edt5, "  Specimen 3 ");
            click(f.chk6);
            typeInto(f.edt6, " 2.7 ");
            typeInto(f.edt7, "");
            click(f.chk2);
            typeInto(f.edt1, " Disp ");
            typeInto(f.edt2, "Force  ");
            click(f.chk7);
            f.cbb4->setCurrentIndex(1);
            f.cbb5->setCurrentIndex(1);
            click(f.rb2);
            typeInto(f.edt11, "16");
        });
        QVERIFY(messages.isEmpty());
        QCOMPARE(op.ChartWidth, 420);
        QCOMPARE(op.ChartHeight, 0);
        QCOMPARE(op.ShowLegend, false);
        QCOMPARE(op.LegendIncludeInLayout, true);
        QCOMPARE(op.LineWeight, 1.5f);
        QCOMPARE(op.MarkerSize, -3);
        QCOMPARE(op.ShowMarker, false);
        QCOMPARE(op.MarkerStyle, 2);
        QCOMPARE(op.TickLabelFontSize, 7);
        QCOMPARE(op.AxisTitleFontSize, 11);
        QCOMPARE(op.LegendFontSize, 12);
        QCOMPARE(op.ShowGraphTitle, true);
        QCOMPARE(op.GraphTitle, "Specimen 3");  // trimmed
        QCOMPARE(op.ShowAxisLine, false);
        QCOMPARE(op.XAxisPosition, " 2.7 ");  // as typed
        QCOMPARE(op.YAxisPosition, "");
        QCOMPARE(op.ShowAxisTitle, false);
        QCOMPARE(op.XAxisTitle, " Disp ");
        QCOMPARE(op.YAxisTitle, "Force  ");
        QCOMPARE(op.ShowPlotAreaLine, false);
        QCOMPARE(op.LineColorMode, 1);
        QCOMPARE(op.MarkerColorMode, 1);
        QCOMPARE(op.ExportMode, 1);
        QCOMPARE(op.TitleFontSize, 16);

        // A fresh dialog shows what was stored.
        withDialog(op, [](TExportOptionForm& f) {
            QCOMPARE(f.edt3->text(), "0");
            QCOMPARE(f.cbb3->currentText(), "-3");
            QCOMPARE(f.cbb2->currentText(), "2");
            QCOMPARE(f.cbb1->currentText(), "1.5");
            QVERIFY(f.rb2->isChecked());
            QCOMPARE(f.cbb4->currentIndex(), 1);
            QCOMPARE(f.edt11->text(), "16");
        });
    }

    void lineWeightShowsTheStoredFloat()
    {
        ExcelOp op;
        updateWith(op, [](TExportOptionForm& f) { typeInto(f.cbb1, "0.3"); });
        QCOMPARE(op.LineWeight, 0.3f);
        withDialog(op, [](TExportOptionForm& f) { QCOMPARE(f.cbb1->currentText(), "0.300000011920929"); });

        for (const char* item : {"0", "0.25", "0.5", "0.75", "1", "1.25", "1.5"}) {
            updateWith(op, [&](TExportOptionForm& f) { f.cbb1->setCurrentIndex(f.cbb1->findText(item)); });
            withDialog(op, [&](TExportOptionForm& f) { QCOMPARE(f.cbb1->currentText(), QString::fromLatin1(item)); });
        }
        QVERIFY(messages.isEmpty());
    }

    void enterInAnEditableListDoesNotGrowIt()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) {
            for (QComboBox* combo : {f.cbb1, f.cbb3}) {
                const int items = combo->count();
                combo->setFocus();
                combo->lineEdit()->selectAll();
                QTest::keyClicks(combo->lineEdit(), QStringLiteral("7"));
                QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
                QCOMPARE(combo->count(), items);
                QCOMPARE(combo->currentText(), QStringLiteral("7"));
            }
        });
    }

    void decimalCommaTakesTheLocalesSeparator()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) { QCOMPARE(f.cbb1->currentText(), "0,5"); }, u',');

        updateWith(op, [](TExportOptionForm& f) {
            typeInto(f.edt4, "111");
            f.cbb1->setCurrentIndex(1);  // the list item "0.25"
            typeInto(f.cbb3, "9");
        }, u',');
        QCOMPARE(messages, QStringList{"'0.25' is not a valid floating point value"});
        QCOMPARE(op.ChartWidth, 111);
        QCOMPARE(op.LineWeight, 0.5f);
        QCOMPARE(op.MarkerSize, 4);

        messages.clear();
        updateWith(op, [](TExportOptionForm& f) { typeInto(f.cbb1, " 0,25 "); }, u',');
        QVERIFY(messages.isEmpty());
        QCOMPARE(op.LineWeight, 0.25f);
    }

    void widthThatIsNotANumberChangesNothing()
    {
        ExcelOp op;
        const QStringList before = fields(op);
        updateWith(op, [](TExportOptionForm& f) {
            typeInto(f.edt4, " abc ");
            typeInto(f.edt3, "100");
            typeInto(f.edt5, "New title");
        });
        QCOMPARE(messages, QStringList{"''abc'' is not a valid integer value"});
        QCOMPARE(fields(op), before);
    }

    void markerSizeThatIsNotANumberKeepsWhatCameBefore()
    {
        ExcelOp op;
        ExcelOp expected;
        updateWith(op, [](TExportOptionForm& f) {
            typeInto(f.edt4, "-20");
            typeInto(f.edt3, "640");
            click(f.chk3);
            click(f.chk4);
            typeInto(f.cbb1, "2.5");
            typeInto(f.cbb3, "abc");
            click(f.chk1);
            typeInto(f.edt9, "20");
            typeInto(f.edt1, "later");
        });
        QCOMPARE(messages, QStringList{"''abc'' is not a valid integer value"});
        expected.ChartWidth = -20;
        expected.ChartHeight = 640;
        expected.ShowLegend = false;
        expected.LegendIncludeInLayout = true;
        expected.LineWeight = 2.5f;
        QCOMPARE(fields(op), fields(expected));
    }

    void updateStaysOpenAndCanBePressedAgain()
    {
        ExcelOp op;
        withDialog(op, [this, &op](TExportOptionForm& f) {
            typeInto(f.edt10, "x1");
            QTest::mouseClick(f.btn1, Qt::LeftButton);
            QVERIFY(f.isVisible());
            QCOMPARE(messages, QStringList{"''x1'' is not a valid integer value"});
            typeInto(f.edt10, "14");
            QTest::mouseClick(f.btn1, Qt::LeftButton);
            QCOMPARE(op.LegendFontSize, 14);
            QCOMPARE(messages.size(), 1);
        });
    }

    void titleFontSizeIsStoredLast()
    {
        ExcelOp op;
        updateWith(op, [](TExportOptionForm& f) {
            typeInto(f.edt11, "big");
            click(f.rb2);
        });
        QCOMPARE(messages, QStringList{"''big'' is not a valid integer value"});
        QCOMPARE(op.ExportMode, 1);
        QCOMPARE(op.TitleFontSize, 10);
    }

    void cancelAfterUpdateKeepsAndClosingWithoutUpdateKeepsTheOld()
    {
        ExcelOp op;
        withDialog(op, [](TExportOptionForm& f) {
            typeInto(f.edt5, "Kept");
            QTest::mouseClick(f.btn1, Qt::LeftButton);
            typeInto(f.edt5, "Dropped");
            QTest::mouseClick(f.btn2, Qt::LeftButton);
            QVERIFY(!f.isVisible());
        });
        QCOMPARE(op.GraphTitle, "Kept");

        withDialog(op, [](TExportOptionForm& f) {
            QCOMPARE(f.edt5->text(), "Kept");
            typeInto(f.edt5, "Closed");
            f.close();
        });
        QCOMPARE(op.GraphTitle, "Kept");
    }
};

QTEST_MAIN(ExportOptionsTest)
#include "test_export_options.moc"
