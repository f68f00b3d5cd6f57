// Writing a stored file so that it is never left half-written: the new
// content goes into a file beside it, which then replaces the old file in one
// step. Only where the system refuses that (a server holding the file open
// without sharing its deletion, a folder where no new file may be made) and
// the caller allows it is the file written in place.
#pragma once

#include <cstddef>
#include <string>

enum class WriteOutcome { Replaced, WrittenInPlace, Failed };

// Whether a file that cannot be replaced may be written in place. A running
// server's files may; what a conversion or the deployment rewrites may not,
// since an end in the middle would leave it half old, half new.
enum class TReplaceMode { InPlaceWhenRefused, WholeOnly };

// Creates the file's folder when it is missing. Failed leaves the old file as
// it was, except after a failure while writing in place.
WriteOutcome WriteFileReplacing(const std::string& path, const void* data, size_t size,
                                TReplaceMode mode = TReplaceMode::InPlaceWhenRefused);

// The name of the file beside `path` that takes the new content.
std::string ReplacementFileName(const std::string& path);
