#include "VeldranUpdater/UpdateError.hpp"

namespace veldran {

const char* message(UpdateErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case UpdateErrorCase::invalidPublicKey:
        return "A chave pública de atualizações é inválida.";
    case UpdateErrorCase::missingBuildVersion:
        return "A versão instalada do aplicativo não pôde ser lida.";
    case UpdateErrorCase::unsupportedSetting:
        return "Esta versão não baixa atualizações sem confirmação nem envia o perfil do sistema.";
    case UpdateErrorCase::insecureAddress:
        return "O endereço de atualizações não é seguro.";
    case UpdateErrorCase::feedUnavailable:
        return "Não foi possível obter a lista de atualizações.";
    case UpdateErrorCase::feedTooLarge:
        return "A lista de atualizações é grande demais.";
    case UpdateErrorCase::unsignedFeed:
        return "A lista de atualizações não está assinada.";
    case UpdateErrorCase::badFeedSignature:
        return "A assinatura da lista de atualizações é inválida.";
    case UpdateErrorCase::malformedFeed:
        return "A lista de atualizações está malformada.";
    case UpdateErrorCase::archiveUnavailable:
        return "Não foi possível baixar a atualização.";
    case UpdateErrorCase::archiveLengthMismatch:
        return "O tamanho da atualização baixada não confere com o anunciado.";
    case UpdateErrorCase::badArchiveSignature:
        return "A assinatura da atualização baixada é inválida.";
    case UpdateErrorCase::unsafeArchiveEntry:
        return "A atualização contém um caminho inseguro e foi recusada.";
    case UpdateErrorCase::malformedArchive:
        return "O arquivo da atualização está corrompido.";
    case UpdateErrorCase::invalidUpdateBundle:
        return "A atualização não contém uma versão mais nova do aplicativo.";
    case UpdateErrorCase::stagingUnavailable:
        return "Não foi possível preparar a pasta da atualização.";
    case UpdateErrorCase::installFailed:
        return "Não foi possível instalar a atualização; a versão atual foi mantida.";
    case UpdateErrorCase::rollbackFailed:
        return "Não foi possível instalar a atualização nem recolocar a versão atual; ela foi guardada na pasta "
               "oculta de atualização ao lado do aplicativo.";
    }
    return "Não foi possível atualizar o aplicativo.";
}

}  // namespace veldran
