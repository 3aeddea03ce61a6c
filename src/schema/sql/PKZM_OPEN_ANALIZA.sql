CREATE PROCEDURE PKZM_OPEN_ANALIZA (
DTP DATE,
DTK DATE)
AS
DECLARE VARIABLE BN INTEGER;
DECLARE VARIABLE MIESIAC SMALLINT;
DECLARE VARIABLE C_GRW INTEGER;
DECLARE VARIABLE C_LPW INTEGER;
DECLARE VARIABLE C_ILE FLOAT;
DECLARE VARIABLE Z_ID INTEGER;
DECLARE VARIABLE Z_SKROT VARCHAR(5);
BEGIN
  /* The event type "BN" is left out of the analysis; without one nothing is left out.
     Two of them are refused by the server. */
  BN = NULL;
  SELECT Z.ID FROM KZM_ZDARZ Z WHERE Z.SKROT = 'BN' INTO :BN;
  MIESIAC = EXTRACT(MONTH FROM DTK);

  /* Lines opened before are replaced; lines the window keeps without a print group stay. */
  DELETE FROM KZM_ANALIZA A WHERE A.DATA = :DTK AND A.GRW IS NOT NULL;

  /* One line per event type column of the month's counts; cells of no event type (rate
     breakdown, corrections, water, dogs) give none. Two event types in one column are
     refused by the server. */
  FOR SELECT R.GRW, R.LPW, R.ILE FROM PKZM_RP06_3(:DTP, :MIESIAC) R
      INTO :C_GRW, :C_LPW, :C_ILE
  DO
  BEGIN
    Z_ID = NULL;
    Z_SKROT = NULL;
    SELECT Z.ID, Z.SKROT FROM KZM_ZDARZ Z WHERE Z.GRW = :C_GRW AND Z.LPW = :C_LPW
    INTO :Z_ID, :Z_SKROT;
    IF (Z_ID IS NOT NULL AND Z_ID IS DISTINCT FROM BN) THEN
      INSERT INTO KZM_ANALIZA (DATA, WSK, IDZDARZ, NAZWA, GRW, LPW, ILOSC, STAWKA, NARZUT,
                               WARTOSC, IDA)
      VALUES (:DTK, '', :Z_ID, :Z_SKROT, :C_GRW, :C_LPW, :C_ILE, 0, 0, 0, -1);
  END
END;
