#include <gtest/gtest.h>

#include <string>

#include "convert/encoding_prescan.h"
#include "convert/page_encoding.h"

using namespace sylpic;

namespace {

const unsigned char* Bytes(const std::string& page)
{
    return reinterpret_cast<const unsigned char*>(page.data());
}

std::string Prescan(const std::string& page)
{
    return std::string(PrescanEncoding(Bytes(page), page.size()));
}

PageEncoding Detect(const std::string& page)
{
    return DetectPageEncoding(Bytes(page), page.size());
}

struct Case {
    const char* page;
    const char* declared;  // "" for none
};

void ExpectDeclarations(const Case* cases, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(Prescan(cases[i].page), cases[i].declared) << cases[i].page;
}

TEST(EncodingPrescan, MetaDeclarations)
{
    const Case cases[] = {
        {"<html><head><meta charset=\"utf-8\">", "UTF-8"},
        {"<META CHARSET=UTF8>", "UTF-8"},
        {"<meta/charset=' unicode-1-1-utf-8\t'>", "UTF-8"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">", "Shift_JIS"},
        {"<meta content='text/html;charset = \"utf-8\"' http-equiv=content-type>", "UTF-8"},
        {"<meta charset=utf-16le>", "UTF-8"},  // a UTF-16 label is read as UTF-8
        {"<meta charset=unicodefffe>", "UTF-8"},
        {"<meta charset=x-user-defined>", "windows-1252"},
        {"<meta charset=latin1>", "windows-1252"},
    };
    ExpectDeclarations(cases, std::size(cases));
}

TEST(EncodingPrescan, WhatDeclaresNothing)
{
    const Case cases[] = {
        {"", ""},
        {"<p>charset=utf-8</p>", ""},
        {"<meta content=\"text/html; charset=utf-8\">", ""},  // content needs the http-equiv pragma
        {"<meta http-equiv=refresh content=\"0; charset=utf-8\">", ""},
        {"<meta http-equiv=content-type content='charset=\"utf-8'>", ""},  // an unmatched quote
        {"<metacharset=utf-8>", ""},
        {"<meta charset=utf-8", ""},  // cut before its '>'
        {"<meta charset=replacement>", ""},
        {"<meta http-equiv=content-type content=\"charset=utf-8\" charset=nonsense>", ""},
    };
    ExpectDeclarations(cases, std::size(cases));
}

TEST(EncodingPrescan, FirstDeclarationWins)
{
    const Case cases[] = {
        {"<meta charset=euc-kr><meta charset=utf-8>", "EUC-KR"},
        {"<meta charset=nonsense><meta charset=utf-8>", "UTF-8"},
        {"<meta charset=utf-8 charset=euc-kr>", "UTF-8"},
        {"<meta http-equiv=content-type content=\"charset=euc-kr\" content=\"charset=utf-8\">", "EUC-KR"},
        {"<meta http-equiv=content-type content=\"charset=euc-kr\" charset=utf-8>", "UTF-8"},
    };
    ExpectDeclarations(cases, std::size(cases));
}

TEST(EncodingPrescan, CommentsTagsAndDeclarationsArePassedOver)
{
    const Case cases[] = {
        {"<!-- <meta charset=utf-8> --><meta charset=euc-kr>", "EUC-KR"},
        {"<!--><meta charset=utf-8>", "UTF-8"},  // "<!-->" is a whole comment
        {"<!-- never closed <meta charset=utf-8>", ""},
        {"<div title=\"<meta charset=utf-8>\"><meta charset=euc-kr>", "EUC-KR"},
        {"</x a='<meta charset=utf-8>'><meta charset=euc-kr>", "EUC-KR"},
        {"<!DOCTYPE html><?pi x?><meta charset=utf-8>", "UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><html>", "UTF-8"},
        {"<?xml version='1.0' encoding = 'utf-16'?>", "UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><meta charset=euc-kr>", "EUC-KR"},
        {"<?xml version=\"1.0\"?><x encoding=\"utf-8\">", ""},
    };
    ExpectDeclarations(cases, std::size(cases));
    EXPECT_EQ(Prescan(std::string("<\0?\0x\0m\0", 8)), "UTF-16LE");
    EXPECT_EQ(Prescan(std::string("\0<\0?\0x\0m", 8)), "UTF-16BE");
}

TEST(EncodingPrescan, OnlyTheFirst1024BytesCount)
{
    const std::string meta = "<meta charset=utf-8>";
    const std::string fits = std::string(kPrescanBytes - meta.size(), ' ') + meta;
    EXPECT_EQ(Prescan(fits), "UTF-8");
    EXPECT_EQ(Prescan(" " + fits), "") << "a declaration that the limit cuts counts for nothing";
    EXPECT_EQ(PrescanEncoding(Bytes(fits), fits.size() - 1), "") << "nothing at or past size is read";
}

TEST(EncodingLabels, TrimmedAndCaseInsensitive)
{
    for (const char* label : {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8",
                              "x-unicode20utf8", " \t\n\f\rUTF-8 \r\n"})
        EXPECT_EQ(EncodingForLabel(label), "UTF-8") << label;
    EXPECT_EQ(EncodingForLabel("Windows-31J"), "Shift_JIS");
    EXPECT_EQ(EncodingForLabel("ks_c_5601-1987"), "EUC-KR");
    EXPECT_EQ(EncodingForLabel("cseucpkdfmtjapanese"), "EUC-JP");
    for (const char* label : {"", "utf-8x", "utf 8", "\vutf-8", "replacement", "cseucpkdfmtjapanese1"})
        EXPECT_EQ(EncodingForLabel(label), "") << label;
}

TEST(PageEncoding, ByteOrderMarkThenDeclaration)
{
    EXPECT_EQ(Detect("\xEF\xBB\xBF<meta charset=euc-kr>"), PageEncoding::kUtf8);
    EXPECT_EQ(Detect("\xFF\xFE<meta charset=utf-8>"), PageEncoding::kCp932);
    EXPECT_EQ(Detect("\xFE\xFF<meta charset=utf-8>"), PageEncoding::kCp932);
    EXPECT_EQ(Detect("<meta charset=utf-8>[[\xED\x95\x9C]]"), PageEncoding::kUtf8);
    EXPECT_EQ(Detect("<meta charset=shift_jis>"), PageEncoding::kCp932);
    EXPECT_EQ(Detect("[[\xED\x95\x9C]]"), PageEncoding::kCp932) << "undeclared UTF-8 is not guessed";
    EXPECT_EQ(Detect("\xEF\xBB"), PageEncoding::kCp932);
}

TEST(PageEncoding, ChoicesOverrideDetection)
{
    const std::string utf8Page = "<meta charset=utf-8>";
    EXPECT_EQ(ResolvePageEncoding(PageEncodingChoice::kCp932, Bytes(utf8Page), utf8Page.size()),
              PageEncoding::kCp932);
    EXPECT_EQ(ResolvePageEncoding(PageEncodingChoice::kUtf8, Bytes(""), 0), PageEncoding::kUtf8);
    EXPECT_EQ(ResolvePageEncoding(PageEncodingChoice::kAuto, Bytes(utf8Page), utf8Page.size()),
              PageEncoding::kUtf8);

    EXPECT_EQ(ParsePageEncodingChoice("AUTO"), PageEncodingChoice::kAuto);
    EXPECT_EQ(ParsePageEncodingChoice("Utf-8"), PageEncodingChoice::kUtf8);
    EXPECT_EQ(ParsePageEncodingChoice("cp932"), PageEncodingChoice::kCp932);
    for (const char* text : {"", "utf8", " auto", "cp932 ", "shift_jis"})
        EXPECT_FALSE(ParsePageEncodingChoice(text).has_value()) << text;
}

}  // namespace
