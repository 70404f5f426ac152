#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The one field encoder of the list-form files. A text with no comma, CR or LF that does not
// begin with a blank, a tab or a double quote is plain: it is written bare, byte for byte, so
// files of plain texts read as they always did. Any other text is written in double quotes
// with each inner double quote doubled, and reads back literally.
bool IsPlainField(std::string_view text);
void AppendField(std::string& out, std::string_view text);
std::string EncodeField(std::string_view text);

// The folder and file-name fields of inventory.dat and the path of result.dat: a comma is
// stored as the character 187 and turned back by the reader. A name that holds a real 187, or
// that is not plain even with its commas so stored, is written quoted instead, commas and all,
// and read back literally: "a»b.wav" must not come back as the other file "a,b.wav".
void AppendNameField(std::string& out, std::string_view text);
// Such a field as read: an unquoted one gets its commas back.
void RestoreNameCommas(std::string& text);

// Reads the quoted field whose opening quote is at `p` into `text` ("" as one quote). A field
// ends at the first lone quote; an unclosed one runs to `end`. Returns the position after the
// closing quote.
const char* ReadQuotedField(const char* p, const char* end, std::string& text);

// The list form of the data files: fields joined by a single ",", no blanks added around
// texts, whole numbers written with a blank (or "-") in place of the sign and one trailing
// blank, each line ended by CR LF.
class ListWriter {
 public:
  // A text field, through the field encoder.
  ListWriter& Text(std::string_view text);
  // Bytes written as they are, for fields a writer has already made safe.
  ListWriter& Raw(std::string_view text);
  ListWriter& Number(std::int64_t value);
  ListWriter& EndLine();

  const std::string& str() const { return out_; }
  std::string Take() { return std::move(out_); }
  void Clear() { out_.clear(); fieldsInLine_ = 0; }

 private:
  void Separate();

  std::string out_;
  int fieldsInLine_ = 0;
};

// " 12 ", "-3 ": how a whole number stands in a list-form file.
std::string ListNumber(std::int64_t value);
// " 12", "-3": the number-to-text conversion (a blank for the sign, no trailing blank).
std::string NumberText(std::int64_t value);

// Reads list-form text back field by field: a field ends at a comma or a line end, blanks in
// front of it are skipped, and a field that begins with a double quote is read as the field
// encoder wrote it (what follows its closing quote up to the separator is dropped). The reader
// holds its own copy of the text (or a view of the caller's).
class ListReader {
 public:
  explicit ListReader(std::string text) : owned_(std::move(text)), text_(owned_) {}
  static ListReader View(std::string_view text) { return ListReader(text, 0); }
  ListReader(const ListReader&) = delete;  // text_ may point into owned_
  ListReader& operator=(const ListReader&) = delete;

  bool AtEnd() const { return pos_ >= text_.size(); }
  // Throws VbError(errInputPastEnd) at the end of the text.
  std::string Field();
  // Valid until the next call on the reader.
  std::string_view FieldView();
  // A number field; an empty one reads as 0, anything else that is not a whole number throws
  // VbError(errTypeMismatch).
  std::int64_t NumberField();
  // The rest of the current line, without its line end (which is consumed).
  std::string Line();
  std::size_t position() const { return pos_; }
  // Of the field just read: whether it stood in quotes, and whether a line end (or the end of
  // the text) closed it.
  bool lastQuoted() const { return lastQuoted_; }
  bool lastEndedLine() const { return lastEndedLine_; }

 private:
  ListReader(std::string_view view, int) : text_(view) {}
  void SkipLineEnd();

  std::string owned_;
  std::string_view text_;
  std::string unquoted_;  // a quoted field with doubled quotes, decoded
  std::size_t pos_ = 0;
  bool lastQuoted_ = false;
  bool lastEndedLine_ = false;
};

// Parses " 12 ", "-3", "" (as 0); nothing for anything else.
bool ParseListNumber(std::string_view field, std::int64_t& value);

}  // namespace platform
