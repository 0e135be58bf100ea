#pragma once

#include <string>

class ParameterModel;

// Reads a state text back into the model through the model's set operations, so a restore has
// the effects of the user's own edits. Text that isn't XML changes nothing.
class ParameterModelXmlParser
{
public:
    ParameterModelXmlParser (const void* data, int size);

    void populateParameterModel (ParameterModel& model) const;

    // The bytes up to the first zero byte or size, as UTF-8; each ill-formed sequence becomes
    // U+FFFD. No data or a size of 0 or less give the empty text.
    static std::string decodeText (const void* data, int size);

private:
    const void* data;
    int size;
};
