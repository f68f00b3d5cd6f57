' Creates an account in a domain of the server.
Set account = CreateObject("NivalisServer.AccountObject")
account.New "tolva.test"
account.SetProperty "U_Alias", "example"
account.SetProperty "U_Password", "change-me"
account.Save
