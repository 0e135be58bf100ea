#pragma once

class ParameterModel;

// Reads a state text back into the model through the model's set operations, so a restore has
// the effects of the user's own edits. Text that isn't XML changes nothing.
class ParameterModelXmlParser
{
public:
    ParameterModelXmlParser (const void* data, int size);

    void populateParameterModel (ParameterModel& model) const;

private:
    const void* data;
    int size;
};
