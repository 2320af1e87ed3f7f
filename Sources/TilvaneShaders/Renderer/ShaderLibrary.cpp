#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"

#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

#include "TilvaneShaders/Model/EffectTables.hpp"

#include <regex>
#include <vector>

namespace tilvane {
namespace {

// The uniform declarations and a name for every slot of the float lists, before the sources.
std::string makePrelude()
{
    std::string text = "#version 330 core\nuniform float parameters[";
    text.append(std::to_string(parameterCapacity)).append("];\n");
    text.append(R"(uniform float bezelFlag;
uniform sampler2D texture0;
uniform sampler2D texture1;
uniform sampler2D texture2;
)");
    text.append(uniform_slots::glslDefines()).append("#line 1\n");
    return text;
}

const std::string prelude = makePrelude();

const char* const vertexMain = R"(#version 330 core
vec4 fullscreenVertex(int vertexIndex);
void main() { gl_Position = fullscreenVertex(gl_VertexID); }
)";

// Replaces not-a-number by 0 and bounds every channel to what a 16-bit float holds.
std::string fragmentMain(const std::string& function)
{
    return "#version 330 core\n"
           "out vec4 fragmentColor;\n"
           "vec4 " + function + "(vec2 pixel);\n"
           "void main() {\n"
           "    vec4 color = " + function + "(gl_FragCoord.xy);\n"
           "    color = mix(color, vec4(0.0), isnan(color));\n"
           "    fragmentColor = clamp(color, vec4(-65504.0), vec4(65504.0));\n"
           "}\n";
}

bool definesFunction(const std::string& sources, const std::string& function)
{
    const std::regex declaration("\\bvec4\\s+" + function + "\\s*\\(");
    return std::regex_search(sources, declaration);
}

template <auto getParameter, auto getLog>
std::string infoLog(GLuint object)
{
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) {
        return {};
    }
    std::string log(static_cast<std::size_t>(length), '\0');
    GLsizei written = 0;
    getLog(object, length, &written, log.data());
    log.resize(static_cast<std::size_t>(written));
    return log;
}

GlShaderName compile(GLenum stage, std::span<const char* const> texts, const std::string& function)
{
    GlShaderName shader(glCreateShader(stage));
    glShaderSource(shader.get(), static_cast<GLsizei>(texts.size()), texts.data(), nullptr);
    glCompileShader(shader.get());
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.get(), GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        throw ShaderCompileError(function, infoLog<glGetShaderiv, glGetShaderInfoLog>(shader.get()));
    }
    return shader;
}

ShaderProgram link(std::initializer_list<GLuint> shaders, const std::string& function)
{
    ShaderProgram program;
    program.name = GlProgramName(glCreateProgram());
    for (GLuint shader : shaders) {
        glAttachShader(program.name.get(), shader);
    }
    glLinkProgram(program.name.get());
    GLint linked = GL_FALSE;
    glGetProgramiv(program.name.get(), GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        throw ShaderCompileError(function, infoLog<glGetProgramiv, glGetProgramInfoLog>(program.name.get()));
    }
    for (GLuint shader : shaders) {
        glDetachShader(program.name.get(), shader);
    }
    program.parameters = glGetUniformLocation(program.name.get(), "parameters");
    program.bezelFlag = glGetUniformLocation(program.name.get(), "bezelFlag");
    glUseProgram(program.name.get());
    const char* const samplers[] = {"texture0", "texture1", "texture2"};
    for (GLint unit = 0; unit < 3; ++unit) {
        glUniform1i(glGetUniformLocation(program.name.get(), samplers[unit]), unit);
    }
    glUseProgram(0);
    return program;
}

}  // namespace

ShaderLibrary::ShaderLibrary(const std::string& sources)
{
    if (!definesFunction(sources, "fullscreenVertex")) {
        throw ShaderRendererError(ShaderRendererErrorCase::missingResources);
    }
    for (const PipelineRow& row : pipelineTable) {
        if (!definesFunction(sources, row.function)) {
            throw ShaderRendererError(ShaderRendererErrorCase::missingResources);
        }
    }
    const char* const library[] = {prelude.c_str(), sources.c_str()};
    const GlShaderName vertexLibrary = compile(GL_VERTEX_SHADER, library, "fullscreenVertex");
    const char* const vertexTexts[] = {vertexMain};
    const GlShaderName vertexEntry = compile(GL_VERTEX_SHADER, vertexTexts, "fullscreenVertex");
    const GlShaderName fragmentLibrary = compile(GL_FRAGMENT_SHADER, library, "fragment functions");
    for (const PipelineRow& row : pipelineTable) {
        const std::string main = fragmentMain(row.function);
        const char* const mainTexts[] = {main.c_str()};
        const GlShaderName fragmentEntry = compile(GL_FRAGMENT_SHADER, mainTexts, row.function);
        programs_.emplace(
            row.function,
            link({vertexLibrary.get(), vertexEntry.get(), fragmentLibrary.get(), fragmentEntry.get()}, row.function));
    }
}

const ShaderProgram* ShaderLibrary::program(std::string_view function) const
{
    const auto found = programs_.find(function);
    return found == programs_.end() ? nullptr : &found->second;
}

}  // namespace tilvane
