#pragma once
// The model text: a model as plain UTF-8 lines, the form testers keep in version control.
//
//     # a comment line
//     OS: Windows 11 | Win11, macOS (5), ~Solaris      a factor and its levels
//     { OS, Browser, Locale } @ 3                      a group (or { [OS], [Browser] } @ 3)
//     IF [OS] = "macOS" THEN [Browser] <> "Edge";      the rules text, to the end of the file
//
// A factor's name holds any character but ":", a level's any but "," and "|". A level may end
// in a weight "(N)", N from 1 to 1000000 (a parenthesis holding anything else is part of the
// name), start with "~" (invalid: tried on its own in a negative test; "~" is not part of its
// name) and carry other names after "|". The first line that starts with IF, NOT, "[", "(" or
// "{" starts the rules text, to the end of the file. A group on one line is kept in the rules
// text as the rules write it ({ [A], [B] } @ 2;). Rules of the shape
//     IF [A] = "a" THEN [B] <> "b";
// right after the factors, over two different factors and a level of each, are Constraints
// rows. Comments, blank lines, a group's short form and CR LF line ends are kept in the
// model's textLayout, so that a text reads and writes back byte for byte. Previous tests and
// seed rows have no place in a model text.
//
//     vantrel::Result<vantrel::Model> model = vantrel::ReadModelText(bytes);
//     if (!model) ... model.error().line, model.error().column, model.error().message ...
//     vantrel::Result<std::string> text = vantrel::WriteModelText(model.value());

#include <vantrel/export.hpp>
#include <vantrel/model.hpp>
#include <vantrel/result.hpp>

#include <string>
#include <string_view>

namespace vantrel {

// What a design file's bytes hold, told by their content: an XML design document (".test")
// when their first character that is not blank (after a byte order mark) is "<", when they
// start with a UTF-16 byte order mark, or when they are empty or blank; else a model text,
// unless they hold a NUL byte, as a picture or an archive does.
enum class FileKind { Document, ModelText, Neither };
VANTREL_API FileKind KindOfFile(std::string_view bytes);

// Reads a model text (one leading byte order mark is dropped). The first problem fails the
// read: an error of kind Model (a factor or level line, the characters of the text) or Rules
// (a group), with the line and the column (1-based, in characters) where it stands. The rules
// text is only parsed for where it ends; Design::Compile checks it against the factors.
VANTREL_API Result<Model> ReadModelText(std::string_view bytes);

// The model as model text, laid out as its textLayout says (previous tests and seeds left
// out). Fails (kind Model) with one line for each name or text that could not be written so
// that it reads back the same, up to 20 of them and a count of the others.
VANTREL_API Result<std::string> WriteModelText(const Model& model);

}  // namespace vantrel
