# Mends the Turtle files JUCE's LV2 helper writes, so that lv2_validate accepts the bundle:
# the plug-in becomes a doap:Project (it carries a maintainer and a release), the UI lists each
# extension under the property that matches its kind, and the preset's Program key is declared.
# Usage: cmake -DBUNDLE=<path to .lv2 folder> -DURI=<plug-in URI> -P fix-lv2-ttl.cmake

file(READ "${BUNDLE}/dsp.ttl" dsp)
string(REPLACE "a lv2:InstrumentPlugin ;" "a lv2:InstrumentPlugin , doap:Project ;" dsp "${dsp}")
file(WRITE "${BUNDLE}/dsp.ttl" "${dsp}")

file(READ "${BUNDLE}/ui.ttl" ui)
string(REPLACE "\t\topts:interface ,\n\t\tui:noUserResize ,\n\t\tui:resize ;"
               "\t\topts:interface ,\n\t\tui:resize ;" ui "${ui}")
string(REPLACE "\t\tui:noUserResize ,\n\t\topts:interface ,\n\t\topts:options ;"
               "\t\tui:noUserResize ,\n\t\topts:options ;" ui "${ui}")
file(WRITE "${BUNDLE}/ui.ttl" "${ui}")

file(READ "${BUNDLE}/manifest.ttl" manifest)
string(FIND "${manifest}" "<${URI}:Program>\n\ta <http" declared)
if(declared EQUAL -1)
    string(APPEND manifest
        "\n<${URI}:Program>\n"
        "\ta <http://www.w3.org/1999/02/22-rdf-syntax-ns#Property> ;\n"
        "\trdfs:label \"Program\" .\n")
endif()
file(WRITE "${BUNDLE}/manifest.ttl" "${manifest}")
