// The user guide. Every paragraph is a translatable text of its own, so the
// German guide is kept in the same translation file as the rest of the
// program and a changed English paragraph shows up there as unfinished.
#include <QCoreApplication>
#include <QStringList>

#include "ui/Help.h"

namespace help {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(HelpGuide)
};

class Page {
  public:
    void heading(const char* anchor, const QString& title) {
        html_ +=
            QStringLiteral("<h2><a name=\"%1\"></a>%2</h2>\n").arg(QLatin1String(anchor), title);
        contents_
            << QStringLiteral("<li><a href=\"#%1\">%2</a></li>").arg(QLatin1String(anchor), title);
    }
    void paragraph(const QString& text) { html_ += QStringLiteral("<p>%1</p>\n").arg(text); }
    void list(const QStringList& items) {
        html_ += QStringLiteral("<ul>\n<li>") + items.join(QStringLiteral("</li>\n<li>")) +
                 QStringLiteral("</li>\n</ul>\n");
    }
    // A table whose first row holds the column titles.
    void table(const QList<QStringList>& rows) {
        html_ += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n");
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString cell = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
            html_ += QStringLiteral("<tr>");
            for (const QString& text : rows.at(r)) {
                html_ += QStringLiteral("<%1>%2</%1>").arg(cell, text);
            }
            html_ += QStringLiteral("</tr>\n");
        }
        html_ += QStringLiteral("</table>\n");
    }

    QString html(const QString& title, const QString& contentsTitle) const {
        return QStringLiteral(
                   "<html><head><title>%1</title></head><body>\n<h1>%1</h1>\n"
                   "<p><b>%2</b></p>\n<ul>\n%3\n</ul>\n%4</body></html>\n")
            .arg(title, contentsTitle, contents_.join(QLatin1Char('\n')), html_);
    }

  private:
    QString html_;
    QStringList contents_;
};

void steps(Page& page) {
    page.heading("steps", Text::tr("The steps of a batch"));
    page.paragraph(
        Text::tr("Quillomat renames a batch of files in one directory after one "
                 "example name. The main window shows the four steps from top to "
                 "bottom:"));
    page.list({
        Text::tr("<b>Select</b> opens the file chooser. Pick the drive, the directory and the "
                 "files (Ctrl+A chooses them all, Ctrl+H shows hidden files) and press "
                 "<b>OK</b>. The files are listed on the right; the first is the example."),
        Text::tr("Double-click another listed file, or press Enter on it, to make it the "
                 "example instead."),
        Text::tr("Highlight the part of the example name to keep and press <b>Set Mask</b>. "
                 "The part goes to the mask box, where it can still be edited. To number all "
                 "the files, skip this step."),
        Text::tr("<b>Extract</b> looks at the mask and shows an example of the new name."),
        Text::tr("<b>Rename</b> gives every file that fits the mask its new name, then opens "
                 "the review."),
    });
    page.paragraph(
        Text::tr("A new name is made of the prefix, the kept part, a running "
                 "number or letter, the suffix and the file's own extension. "
                 "Prefix, suffix, starting number and lettering position are set "
                 "under <b>Options &gt; Set Options</b>; <b>Options &gt; Clear "
                 "Options</b> empties them."));
}

void masks(Page& page) {
    page.heading("masks", Text::tr("The kinds of mask"));
    page.paragraph(
        Text::tr("Extract chooses the naming scheme from the mask. In the examples "
                 "the prefix, the suffix and the starting number are empty; the "
                 "running number then starts at 1 and has four digits below "
                 "1000."));
    const QString kind = Text::tr("Mask");
    const QString when = Text::tr("Chosen when");
    const QString example = Text::tr("Example");
    page.table({
        {kind, when, example},
        {Text::tr("No mask"), Text::tr("the mask is empty: every file is numbered"),
         Text::tr("a.txt, b.doc become 0001.txt, 0002.doc")},
        {Text::tr("Numeric"),
         Text::tr("the mask is a number: files with digits at the same place keep them"),
         Text::tr("mask 042 of IMG_042.jpg: IMG_043.jpg becomes 043.jpg; DSC_1.jpg is left "
                  "alone")},
        {Text::tr("Text"),
         Text::tr("the mask holds no digit: files that contain it take it and a number"),
         Text::tr("mask Report: Report.txt, MyReport.doc become Report-0001.txt, "
                  "Report-0002.doc")},
        {Text::tr("Lettered text"),
         Text::tr("as Text, with a lettering position: the first (First) or last (Last) "
                  "character of the mask stands for each file's own letter, and no number is "
                  "added"),
         Text::tr("mask ReportA, Last: old-ReportB.txt becomes ReportB.txt, ReportC-draft.doc "
                  "becomes ReportC.doc")},
        {Text::tr("Pattern"),
         Text::tr("the mask holds digits and other characters: at the same place a file "
                  "must have a digit for each digit and the same other characters"),
         Text::tr("mask 01-A of Scan01-A.tif: Scan02-A.tif becomes 02-A.tif; Scan02-B.tif is "
                  "left alone")},
        {Text::tr("Lettered pattern"),
         Text::tr("as Pattern, with a lettering position whose character in the mask is not "
                  "a digit: that character is the file's own letter"),
         Text::tr("mask 01-A, Last: Scan02-B.tif becomes 02-B.tif")},
    });
    page.paragraph(
        Text::tr("Letters are compared exactly: Report does not match report. A "
                 "file that does not fit the mask keeps its name."));
}

void numbering(Page& page) {
    page.heading("numbering", Text::tr("Names that are taken"));
    page.paragraph(Text::tr(
        "No file is ever overwritten. When a new name is taken, by a file "
        "already there or by an earlier file of the same batch, the file "
        "gets the name with \"-1\" before its extension, or \"-2\" if that "
        "is taken too, and so on: a new name photo.jpg that is taken becomes photo-1.jpg. A file "
        "that cannot be renamed (no permission, a name the file system "
        "refuses) is skipped and keeps its name."));
}

void review(Page& page) {
    page.heading("review", Text::tr("The review: Accept or Undo"));
    page.paragraph(
        Text::tr("After Rename the chooser comes back as the review, titled "
                 "\"Accept the new names, or Undo the changes\", listing the "
                 "directory with the new names. Until the batch is accepted or "
                 "undone, Set Mask, Extract and Rename are off, and Select brings "
                 "the review to the front."));
    page.list({
        Text::tr("<b>Accept</b> keeps the new names and ends the batch."),
        Text::tr("<b>Undo</b> gives every renamed file its old name back, the last renamed "
                 "first. If an old name has been taken meanwhile, the file gets a numbered "
                 "form of it (report-1.txt)."),
    });
    page.paragraph(
        Text::tr("If Undo cannot put a file back (it was deleted, or the directory "
                 "cannot be written), the example box shows \"Error # \" and the "
                 "number, followed by the files that were not restored; the review "
                 "stays open, and Undo pressed again goes on with those files once "
                 "the cause is mended."));
    page.paragraph(
        Text::tr("Exit or closing the main window while the review is open asks "
                 "first: <b>Accept</b> or <b>Undo</b> the batch and end the program, "
                 "or <b>Cancel</b> and go on."));
}

void preview(Page& page) {
    page.heading("preview", Text::tr("Preview New Names"));
    page.paragraph(
        Text::tr("<b>File &gt; Preview New Names</b> (Ctrl+P) lists, before anything "
                 "is renamed, the new name of every listed file and why: renamed, "
                 "numbered because the name is taken, left alone, or skipped and "
                 "the reason. It can be used whenever Rename can, and follows every "
                 "new Extract while it is open. Nothing on disk changes."));
}

void restore(Page& page) {
    page.heading("restore", Text::tr("The question at start-up"));
    page.paragraph(
        Text::tr("Before the first file of a batch is renamed, Quillomat notes the "
                 "directory and the old names in a journal under "
                 "~/.local/state/Quillomat. If the program ends in the middle of a "
                 "batch or with its review open (it crashed or was killed, the power "
                 "went, the session ended), the next start asks whether to give "
                 "those files their old names back, naming the directory and the "
                 "number of files. Yes gives every file of that batch that can still "
                 "be found its old name back and lists any that could not; No "
                 "leaves the files as they are. "
                 "Either way the question is asked once."));
}

void settingsFile(Page& page) {
    page.heading("settings", Text::tr("The settings file"));
    page.paragraph(
        Text::tr("The options and the directory used last are kept in "
                 "~/.config/Quillomat.conf (in $XDG_CONFIG_HOME when that is set), "
                 "in the group [Defaults], with the keys Prefix, Sufix, "
                 "StartingNumber, LetteringPosition (0 none, 1 first, 2 last) and "
                 "Dir. A value is the rest of its line, taken as it is. Quillomat "
                 "changes only these keys and keeps every other line of the file. "
                 "If the file cannot be written, a message names it and the "
                 "reason; the program goes on with the new values."));
}

void commandLine(Page& page) {
    page.heading("commandline", Text::tr("The command line"));
    page.list({
        Text::tr("<tt>quillomat</tt> starts with an empty list."),
        Text::tr("<tt>quillomat DIRECTORY</tt> opens the first Select in DIRECTORY."),
        Text::tr("<tt>quillomat FILE...</tt> takes the files (all in one directory) as if "
                 "they had been chosen with Select and OK. The file manager's \"Rename with "
                 "Quillomat\" starts the program this way."),
        Text::tr("<tt>quillomat --help</tt> and <tt>quillomat --version</tt> answer on the "
                 "terminal."),
    });
    page.paragraph(
        Text::tr("A command line that cannot be used (an unknown option, a "
                 "directory that does not exist) is answered on the terminal with "
                 "exit status 2. Files that are not in one directory, or a name "
                 "that is not a regular file, are named in a message and the "
                 "program starts with an empty list."));
}

void keys(Page& page) {
    page.heading("keys", Text::tr("Keys"));
    page.list({
        Text::tr("F1: this guide."),
        Text::tr("Tab moves between the controls; Enter or Space presses the button that has "
                 "the focus."),
        Text::tr("Ctrl+P: Preview New Names. Alt with the underlined letter opens a menu."),
        Text::tr("In the chooser: Ctrl+A chooses all files, Ctrl+H shows or hides hidden "
                 "files, Enter on a directory opens it."),
    });
}

}  // namespace

QString guideHtml() {
    Page page;
    steps(page);
    masks(page);
    numbering(page);
    review(page);
    preview(page);
    restore(page);
    settingsFile(page);
    commandLine(page);
    keys(page);
    return page.html(Text::tr("Quillomat Help"), Text::tr("Contents"));
}

}  // namespace help
