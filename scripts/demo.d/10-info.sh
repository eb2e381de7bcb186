# The plug-in as the host sees it, and the two version functions.
hostsim info
hostsim call "XELM VOVUVAVersion" "" --bytes
hostsim call "XELM Version" "" 
hostsim call "XELM Version" "platform"
