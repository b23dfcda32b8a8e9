#!/usr/bin/env python3
"""Writes the help topics (HTML, Japanese and English) into ja/ and en/ beside this script:
index.html, the main page (context 1), and topic-<ID>.html for every control of the print
settings dialog, whose control ID is its help context ID. Run it after changing the table."""

import html
import pathlib

# (control ID, English title, English text, Japanese title, Japanese text)
TOPICS = [
    (1000, "Printer name", "Names the printer list below.", "プリンタ名", "下のプリンタ一覧の見出しです。"),
    (1001, "Printer", "Chooses the printer the PDF is sent to. Only printers of the Velmora family whose model has a capability file are offered. Changing the printer loads its options and its saved settings.",
     "プリンタ", "PDF を送るプリンタを選びます。機種の能力ファイルがある Velmora シリーズのプリンタだけが表示されます。プリンタを変えると、その機種のオプションと保存した設定が読み込まれます。"),
    (1002, "Port", "Names the port of the chosen printer.", "ポート", "選んだプリンタのポートの見出しです。"),
    (1003, "Port of the printer", "Shows the port (connection) of the chosen printer. It cannot be changed here.",
     "プリンタのポート", "選んだプリンタのポート（接続先）を表示します。ここでは変更できません。"),
    (1004, "Print settings", "The options of this print job follow below. Which of them can be used depends on the printer model.",
     "印刷設定", "この印刷のオプションです。使えるオプションはプリンタの機種によって決まります。"),
    (1005, "Paper source", "Names the paper source list.", "給紙方法", "給紙方法の一覧の見出しです。"),
    (1006, "Paper source list", "Chooses the tray the paper is taken from. Automatic lets the printer choose. Only the sources of the printer model are offered.",
     "給紙方法の一覧", "用紙を取る給紙トレイを選びます。自動選択ではプリンタが選びます。機種が持つ給紙方法だけが表示されます。"),
    (1007, "Copies", "Names the number of copies.", "印刷部数", "印刷部数の見出しです。"),
    (1008, "Number of copies", "The number of copies to print, from 1 to 999, in digits.",
     "印刷部数の入力", "印刷する部数を 1 から 999 までの半角数字で入力します。"),
    (1009, "Copies arrows", "Raises or lowers the number of copies by one.", "印刷部数の矢印", "印刷部数を 1 ずつ増減します。"),
    (1010, "Duplex", "Prints on both sides of the paper, when the printer model can.", "両面印刷", "機種が対応していれば、用紙の両面に印刷します。"),
    (1011, "Collate", "Prints the copies one whole set after the other instead of each page several times.",
     "部単位で印刷", "ページごとではなく、1 部ずつまとめて印刷します。"),
    (1012, "Fit to paper", "Lets the printer scale the pages to the paper in the chosen tray.",
     "用紙に合わせて印刷", "選んだトレイの用紙に合わせてページを拡大・縮小します。"),
    (1013, "Page range", "Prints only the pages from the start page to the end page.",
     "印刷ページ指定", "開始ページから終了ページまでだけを印刷します。"),
    (1014, "Start page", "The first page to print, a number greater than 0.", "開始ページ", "印刷する最初のページ（0 より大きい数値）です。"),
    (1015, "End page", "The last page to print. It must not be smaller than the start page. Some models allow it to be left blank for \"to the last page\".",
     "終了ページ", "印刷する最後のページです。開始ページより小さくはできません。機種によっては空欄で最後のページまでを表します。"),
    (1016, "From page", "Names the start page.", "開始ページの見出し", "開始ページの見出しです。"),
    (1017, "To page", "Names the end page.", "終了ページの見出し", "終了ページの見出しです。"),
    (1018, "Start page arrows", "Raises or lowers the start page by one.", "開始ページの矢印", "開始ページを 1 ずつ増減します。"),
    (1019, "End page arrows", "Raises or lowers the end page by one.", "終了ページの矢印", "終了ページを 1 ずつ増減します。"),
    (1020, "Binding", "Names the binding edge list.", "とじ方向", "とじ方向の一覧の見出しです。"),
    (1021, "Binding edge", "Chooses the edge a duplex print is bound at: the long edge or the short edge.",
     "とじ方向の選択", "両面印刷をとじる辺（長辺または短辺）を選びます。"),
    (1022, "Binding picture", "Shows how the pages turn with the chosen binding edge.", "とじ方向の絵", "選んだとじ方向でのページのめくり方を示します。"),
    (1023, "Password-protected PDF", "The settings for a PDF that needs a password to be opened follow below.",
     "パスワード付きPDF", "開くのにパスワードが必要な PDF の設定です。"),
    (1025, "Password", "Names the password field.", "パスワード", "パスワード入力欄の見出しです。"),
    (1026, "Use a password", "Sends the password with the job so that the printer can open the PDF.",
     "パスワードを使用する", "プリンタが PDF を開けるように、パスワードを印刷データと一緒に送ります。"),
    (1027, "Password field", "The PDF's password, in digits, at most 128 of them.", "パスワードの入力", "PDF のパスワードを 128 桁以内の半角数字で入力します。"),
    (1028, "Store password", "Stores the password for your user, so that it is filled in next time.",
     "パスワード保存", "次回から自動で入力されるように、パスワードをユーザーごとに保存します。"),
    (1029, "Print", "Sends the PDF with the chosen settings to the printer and closes the dialog.",
     "印刷", "選んだ設定で PDF をプリンタに送り、ダイアログを閉じます。"),
    (1030, "Close", "Closes the dialog without printing and without storing the settings.",
     "閉じる", "印刷せず、設定も保存せずにダイアログを閉じます。"),
    (1031, "Clear password", "Deletes the stored password.", "パスワード削除", "保存したパスワードを削除します。"),
    (102, "Defaults", "Restores the default settings the printer model allows.", "標準に戻す", "機種が許す標準の設定に戻します。"),
    (103, "Save settings", "Stores the current settings for the chosen printer, so that they are used next time.",
     "設定保存", "現在の設定を選んだプリンタ用に保存し、次回から使います。"),
    (105, "About", "Shows the versions of the program and of its libraries.", "バージョン情報", "プログラムとライブラリのバージョンを表示します。"),
]

MAIN = {
    "en": ("Norvane help", "Norvane prints a PDF file directly on a Velmora printer: the printer itself reads the PDF. Choose the printer and the options, then press Print.", "Controls of the dialog"),
    "ja": ("Norvane ヘルプ", "Norvane は PDF ファイルを Velmora プリンタで直接印刷します。PDF はプリンタ自身が読み取ります。プリンタとオプションを選び、印刷を押してください。", "ダイアログの項目"),
}

PAGE = """<!DOCTYPE html>
<html lang="{lang}">
<head><meta charset="utf-8"><title>{title}</title>
<style>body{{font-family:sans-serif;max-width:40em;margin:1em auto;line-height:1.5}}</style></head>
<body>
<h1>{title}</h1>
{body}
</body>
</html>
"""


def main():
    here = pathlib.Path(__file__).resolve().parent
    for lang in ("en", "ja"):
        folder = here / lang
        folder.mkdir(exist_ok=True)
        back = "目次へ" if lang == "ja" else "Contents"
        items = []
        for cid, en_title, en_text, ja_title, ja_text in TOPICS:
            title, text = (ja_title, ja_text) if lang == "ja" else (en_title, en_text)
            items.append(f'<li><a href="topic-{cid}.html">{html.escape(title)}</a></li>')
            body = f'<p>{html.escape(text)}</p>\n<p><a href="index.html">{back}</a></p>'
            (folder / f"topic-{cid}.html").write_text(
                PAGE.format(lang=lang, title=html.escape(title), body=body), encoding="utf-8")
        title, intro, heading = MAIN[lang]
        body = f"<p>{html.escape(intro)}</p>\n<h2>{heading}</h2>\n<ul>\n" + "\n".join(items) + "\n</ul>"
        (folder / "index.html").write_text(PAGE.format(lang=lang, title=html.escape(title), body=body),
                                           encoding="utf-8")


if __name__ == "__main__":
    main()
