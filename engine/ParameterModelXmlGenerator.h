#pragma once

#include <string>

class ParameterModel;

// Writes the state text: the twelve pads and the last browsed folder as XML.
class ParameterModelXmlGenerator
{
public:
    explicit ParameterModelXmlGenerator (const ParameterModel& parameterModel);

    std::string generateXml() const;

private:
    const ParameterModel& parameterModel;
};
