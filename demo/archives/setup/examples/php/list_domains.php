<?php
// Lists the server's domains through the automation interface.
$api = new COM("NivalisServer.APIObject");
foreach (explode(";", $api->GetProperty("C_Domains")) as $domain) {
    echo htmlspecialchars($domain), "<br>\n";
}
