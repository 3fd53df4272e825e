// Phrases as a rich-text editor writes them, read through the control stand-in.
#include <gtest/gtest.h>

#include <string>

#include "ui/CRichText.h"

namespace {

const char* const kEditorPhrase =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 MS Sans Serif;})"
    R"({\f1\fswiss\fcharset204{\*\panose 020b0604020202020204}Arial;}})"
    "\r\n"
    R"({\colortbl ;\red0\green0\blue0;\red0\green0\blue255;})"
    "\r\n"
    R"({\*\generator Riched20 5.50.99.2050;}\viewkind4\uc1\pard\plain\f0\fs20 )"
    R"(Caf\'e9 cr\'e8me br\'fbl\'e9e \u8212\'97 see {\field{\*\fldinst {HYPERLINK "http://x/"}})"
    R"({\fldrslt {\cf2\ul the menu}}}\cf0\ulnone .\par)"
    "\r\n"
    R"(\pard{\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}})"
    "\r\n"
    R"(\fi-360\li720 Starter{\v  (hidden note)}\par)"
    "\r\n"
    R"({\pntext\f0 2.\tab}Main: \f1\'c1\'eb\'e8\'ed\'fb\f0\par)"
    "\r\n"
    R"(\pard\tab Total\tab 12\'80\par)"
    "\r\n"
    "}\r\n";

}  // namespace

TEST(RealisticPhrase, EditorRichTextBecomesPlainText) {
    CRichText control;
    control.SetTextRTF(kEditorPhrase);
    EXPECT_EQ(control.GetText(),
              "Café crème brûlée — see the menu.\r\n"
              "Starter (hidden note)\r\n"
              "Main: Блины\r\n"
              "\tTotal\t12€");
}

TEST(RealisticPhrase, PlainTextPassesThrough) {
    CRichText control;
    control.SetTextRTF("Plain phrase, no markup");
    EXPECT_EQ(control.GetText(), "Plain phrase, no markup");
}

TEST(RealisticPhrase, EachSetReplacesThePreviousText) {
    CRichText control;
    control.SetTextRTF(kEditorPhrase);
    control.SetTextRTF(R"({\rtf1\ansi 9|\par})");
    EXPECT_EQ(control.GetText(), "9|");
    control.SetTextRTF("");
    EXPECT_EQ(control.GetText(), "");
}
