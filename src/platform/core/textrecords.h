#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The list form of the data files: fields joined by a single ",", no blanks added around
// texts, whole numbers written with a blank (or "-") in place of the sign and one trailing
// blank, each line ended by CR LF.
class ListWriter {
 public:
  ListWriter& Text(std::string_view text);
  // A text that holds a comma is put in double quotes, so the reader takes it whole.
  ListWriter& TextQuotedIfComma(std::string_view text);
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
// front of it are skipped, and a field that begins with a double quote runs to the next
// double quote. The reader holds its own copy of the text (or a view of the caller's).
class ListReader {
 public:
  explicit ListReader(std::string text) : owned_(std::move(text)), text_(owned_) {}
  static ListReader View(std::string_view text) { return ListReader(text, 0); }
  ListReader(const ListReader&) = delete;  // text_ may point into owned_
  ListReader& operator=(const ListReader&) = delete;

  bool AtEnd() const { return pos_ >= text_.size(); }
  // Throws VbError(errInputPastEnd) at the end of the text.
  std::string Field();
  std::string_view FieldView();  // valid while the reader lives; never for quoted fields with escapes
  // A number field; an empty one reads as 0, anything else that is not a whole number throws
  // VbError(errTypeMismatch).
  std::int64_t NumberField();
  // The rest of the current line, without its line end (which is consumed).
  std::string Line();
  std::size_t position() const { return pos_; }

 private:
  ListReader(std::string_view view, int) : text_(view) {}
  void SkipLineEnd();

  std::string owned_;
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Parses " 12 ", "-3", "" (as 0); nothing for anything else.
bool ParseListNumber(std::string_view field, std::int64_t& value);

}  // namespace platform
